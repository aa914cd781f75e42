#include "check/RobotsProbe.h"

#include "check/CheatCells.h"
#include "probes/RobotsRules.h"
#include "web/PageFetcher.h"

#include <QUrl>

namespace friendlinks {

RobotsProbe::RobotsProbe(WorkerPool &pool, WorkerPool::Client &client, bool modern, QString site)
    : m_pool(pool), m_client(client), m_modern(modern), m_site(std::move(site))
{
}

QString RobotsProbe::robotsAddress(const QString &pageAddress)
{
    const QUrl page(PageFetcher::withScheme(pageAddress), QUrl::TolerantMode);
    QUrl robots = page.adjusted(QUrl::RemoveUserInfo | QUrl::RemoveQuery | QUrl::RemoveFragment);
    robots.setPath(QStringLiteral("/robots.txt"));
    return robots.toString(QUrl::FullyEncoded);
}

QString RobotsProbe::rulesPath(const QString &pageAddress)
{
    const QUrl page(PageFetcher::withScheme(pageAddress), QUrl::TolerantMode);
    QString path = page.path(QUrl::FullyEncoded);
    if (path.isEmpty())
        path = QStringLiteral("/");
    if (page.hasQuery())
        path += QLatin1Char('?') + page.query(QUrl::FullyEncoded);
    return path;
}

void RobotsProbe::clear(ResultRow &row) const
{
    row.facts.robots.reset();
}

void RobotsProbe::run(const RowContext &row, std::function<void(const ProbeResult &)> done)
{
    const QString robotsUrl = robotsAddress(row.link);
    const QString path = rulesPath(row.link);
    HostRobots &host = m_hosts[robotsUrl];
    if (!host.asking) {
        if (const auto known = host.verdicts.constFind(path); known != host.verdicts.constEnd()) {
            done(probed(*known));
            return;
        }
    }
    host.waiters.push_back({path, std::move(done)});
    if (!host.asking) // a path not asked before: the file is read again (rows are home pages, so rarely)
        ask(robotsUrl, row.worker);
}

void RobotsProbe::ask(const QString &robotsUrl, int worker)
{
    m_hosts[robotsUrl].asking = true;
    FetchOptions options;
    options.followRedirect = [](const QString &) { return true; };
    options.maxRedirects = kRobotsMaxRedirects;
    options.maxBodyBytes = kRobotsMaxChars; // a character is a byte or more
    m_pool.fetch(&m_client, worker, robotsUrl, m_site, options,
                 [this, robotsUrl](const FetchResult &answer) { answered(robotsUrl, answer); });
}

void RobotsProbe::answered(const QString &robotsUrl, const FetchResult &answer)
{
    HostRobots &host = m_hosts[robotsUrl];
    host.asking = false;
    // A site that cannot be reached at all has no rules we know of.
    const int status = answer.kind == FetchResult::Kind::SiteUnreachable ? 0 : answer.status;
    const QStringView text = QStringView(answer.text).left(kRobotsMaxChars);
    const std::vector<Waiter> waiters = std::move(host.waiters);
    host.waiters.clear();
    std::vector<std::pair<std::function<void(const ProbeResult &)>, RobotsFacts>> ready;
    for (const Waiter &waiter : waiters) {
        const RobotsAnswer robots = robotsAnswer(status, text, kBaiduSpiderToken, waiter.path);
        const RobotsFacts facts{robots.allowed, robots.rule};
        host.verdicts.insert(waiter.path, facts); // the text itself is not kept: a host's verdicts are
        ready.emplace_back(waiter.done, facts);
    }
    // The next probes may run from a done, and a row of this host may come in meanwhile.
    for (const auto &[done, facts] : ready)
        done(probed(facts));
}

ProbeResult RobotsProbe::probed(const RobotsFacts &facts) const
{
    ProbeResult result;
    result.change = [facts, modern = m_modern](ResultRow &row) {
        row.facts.robots = facts;
        if (modern && facts.baiduspiderAllowed == false)
            markPassesNothing(row.cells[Column::fanlian], row.facts.backlinkVerdict, kRobotsBlockedCell);
    };
    return result;
}

} // namespace friendlinks
