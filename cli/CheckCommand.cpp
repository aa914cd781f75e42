#include "cli/CheckCommand.h"

#include "check/BatchFormats.h"
#include "check/CsvFormat.h"
#include "check/CheckMode.h"
#include "check/ResultTable.h"
#include "check/OutputFormats.h"
#include "check/TextEscape.h"
#include "cli/SiteText.h"
#include "web/FetchFailure.h"
#include "web/FetchResult.h"

#include <QTimer>

#include <algorithm>

namespace friendlinks {
namespace {

// What the window's note says beside the address box.
const QString kUpperCaseNote = QStringLiteral("注意：查询字母不能大写");

bool homeAnsweredError(const FetchResult &home)
{
    return home.status >= 400;
}

} // namespace

bool colourWanted(bool outIsTerminal, bool noColorSet, const QString &term)
{
    return outIsTerminal && !noColorSet && term != QLatin1String("dumb");
}

CheckCommand::CheckCommand(CheckOptions options, QIODevice *out, QIODevice *err,
                           bool colour, bool errIsTerminal, QObject *parent)
    : QObject(parent)
    , m_options(std::move(options))
    , m_out(out)
    , m_err(err)
    , m_colour(colour)
    , m_errIsTerminal(errIsTerminal)
{
    if (m_options.sites.isEmpty())
        m_options.sites << m_options.site;
    // Host names know no letter case; the classic check takes the text as typed.
    if (m_options.settings.modern)
        std::transform(m_options.sites.begin(), m_options.sites.end(), m_options.sites.begin(), withLowerCaseHost);
    for (size_t site = 0; site < size_t(m_options.sites.size()); ++site) {
        auto engine = std::make_unique<CheckEngine>(m_options.settings);
        connect(engine.get(), &CheckEngine::siteUnreachable, this, [this, site] { m_unreachable[site] = true; });
        connect(engine.get(), &CheckEngine::progress, this, [this, site](int done, int total) {
            m_progress[site] = {done, total};
            if (!m_errIsTerminal)
                return;
            int allDone = 0;
            int all = 0;
            for (const auto &[siteDone, siteTotal] : m_progress) {
                allDone += siteDone;
                all += siteTotal;
            }
            m_err->write(QStringLiteral("\r已检查 %1/%2").arg(allDone).arg(all).toUtf8());
        });
        connect(engine.get(), &CheckEngine::finished, this, [this, site] { siteFinished(site); });
        connect(engine.get(), &CheckEngine::baiduBlocked, this, [this] {
            if (m_toldBaiduBlocked)
                return; // Baidu is one host for the whole batch: said once
            m_toldBaiduBlocked = true;
            if (m_errIsTerminal)
                m_err->write("\r\x1b[K");
            writeErr(kBaiduBlockedMessage);
            // The block is the machine's, not the site's: the other sites ask Baidu no more either.
            // Once control is back, so no other site's rows are settled inside this one's handler.
            QTimer::singleShot(0, this, [this] {
                for (const auto &other : m_engines)
                    other->stopBaiduQueries();
            });
        });
        m_engines.push_back(std::move(engine));
    }
}

void CheckCommand::start()
{
    m_unreachable.assign(m_engines.size(), false);
    m_toldBaiduBlocked = false;
    m_progress.assign(m_engines.size(), {0, 0});
    m_finished = 0;
    m_outError.clear();
    if (!m_options.settings.modern && std::any_of(m_options.sites.begin(), m_options.sites.end(), hasUpperCaseHost))
        writeErr(kUpperCaseNote);
    // One pool for the batch: the sites share its workers and its per-host limit.
    auto pool = std::make_shared<WorkerPool>(m_options.settings);
    for (size_t site = 0; site < m_engines.size(); ++site)
        m_engines[site]->start(m_options.sites[qsizetype(site)], pool);
}

void CheckCommand::writeOut(const QByteArray &data)
{
    if (!m_outError.isEmpty())
        return; // the rest would be a torn piece
    if (m_out->write(data) != data.size())
        m_outError = m_out->errorString().isEmpty() ? QStringLiteral("write failed") : m_out->errorString();
}

void CheckCommand::writeErr(const QString &line)
{
    m_err->write(line.toUtf8() + '\n');
}

// The site's lines on stderr: why it cannot be checked, or the notes of its check.
void CheckCommand::reportSite(size_t site)
{
    const CheckEngine &engine = *m_engines[site];
    const QString shown = escapeForDisplay(engine.site());
    const QString named = m_engines.size() > 1 ? shown + QStringLiteral("：") : QString();
    const QString tlsError = escapeForDisplay(engine.siteTlsError());
    if (m_unreachable[site]) {
        const QString cause = homePageTrouble(engine.home());
        writeErr(QStringLiteral("%1：%2").arg(kUnreachableMessage, shown)
                 + (cause.isEmpty() ? QString() : QStringLiteral("（%1）").arg(cause)));
        if (!tlsError.isEmpty())
            writeErr(QStringLiteral("%1证书不可信：%2（可用 --ca-file 加入证书颁发机构，或用 --insecure 照样读取）").arg(named, tlsError));
        return;
    }
    if (homeAnsweredError(engine.home()))
        writeErr(QStringLiteral("%1: %2").arg(shown, homePageTrouble(engine.home())));
    if (!tlsError.isEmpty())
        writeErr(QStringLiteral("%1注意：证书不可信：%2，已按 --insecure 照样读取").arg(named, tlsError));
    if (const int unlisted = engine.unlistedHttpsLinks(); unlisted > 0)
        writeErr(named + unlistedHttpsHint(unlisted));
}

void CheckCommand::siteFinished(size_t site)
{
    if (m_errIsTerminal)
        m_err->write("\r\x1b[K");
    reportSite(site);
    if (m_options.format == OutputFormat::Jsonl)
        writeOut(jsonLine(siteJson(site)));
    if (++m_finished < m_engines.size())
        return;
    // One site that cannot be fetched writes nothing, as it always has.
    if (m_engines.size() > 1 || !m_unreachable.front())
        writeResult();
    // Baidu is one host for the whole batch: its certificate trouble is named once.
    for (const auto &checked : m_engines) {
        if (const QString baidu = checked->baiduTlsError(); !baidu.isEmpty()) {
            writeErr(escapeForDisplay(baiduTlsNote(baidu, m_options.settings.insecure)));
            break;
        }
    }
    if (!m_outError.isEmpty())
        writeErr(QStringLiteral("friendlinks: 无法写出结果：%1").arg(escapeForDisplay(m_outError)));
    emit finished(exitStatus());
}

int CheckCommand::exitStatus() const
{
    if (!m_outError.isEmpty())
        return kExitOutputFailed;
    for (size_t site = 0; site < m_engines.size(); ++site) {
        if (m_unreachable[site] || homeAnsweredError(m_engines[site]->home()))
            return kExitUnreachable;
    }
    return kExitOk;
}

QByteArray CheckCommand::siteJson(size_t site) const
{
    return formatJson(*m_engines[site]->results());
}

void CheckCommand::writeResult()
{
    const bool several = m_engines.size() > 1;
    QList<const ResultsModel *> results;
    for (const auto &engine : m_engines)
        results << engine->results();
    const QList<FactColumn> facts = m_options.facts ? allFactColumns() : QList<FactColumn>();
    const ResultTable table = several ? batchTable(results, facts) : resultTable(*results.front(), facts);
    switch (m_options.format) {
    case OutputFormat::Json:
        if (several) {
            QList<QByteArray> objects;
            for (size_t site = 0; site < m_engines.size(); ++site)
                objects << siteJson(site);
            writeOut(joinJsonSites(objects));
        } else {
            writeOut(siteJson(0));
        }
        break;
    case OutputFormat::Jsonl:
        break; // written site by site
    case OutputFormat::Tsv:
        writeOut(formatTsv(table));
        break;
    case OutputFormat::Csv:
        writeOut(formatCsv(table));
        break;
    case OutputFormat::Table:
        writeOut(formatTable(table, m_colour, m_engines.front()->elapsedMs()));
        break;
    }
}

} // namespace friendlinks
