#include "check/CheckEngine.h"

#include "check/CheckRules.h"
#include "check/Harvest.h"
#include "check/HostLimiter.h"
#include "probes/BackLinkProbe.h"
#include "probes/BaiduProbe.h"
#include "web/PageFetcher.h"

#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <vector>

namespace friendlinks {
namespace {

constexpr int kMaxJobs = 64;

// The host a request goes to, for the per-host limit (not the proxy's).
QString hostOf(const QString &address)
{
    const QUrl url(PageFetcher::withScheme(address), QUrl::TolerantMode);
    const QString host = url.host().toLower();
    return host.isEmpty() ? address : host;
}

} // namespace

// One check from start to end. Destroying it cancels everything in flight:
// the fetchers abort their requests, so no late answer reaches the engine.
class CheckEngine::Run {
public:
    Run(CheckEngine &engine, const QString &site)
        : m_engine(engine)
        , m_site(site)
        , m_needle(normalisedSiteText(site))
        , m_limiter(engine.m_settings.perHostLimit)
    {
        const int jobs = std::clamp(engine.m_settings.jobs, 1, kMaxJobs);
        // One fetcher per worker: each worker has one request at a time, so no
        // request ever queues inside Qt behind another's connection while its
        // time limit runs (Qt caps connections per host, and a proxy counts as one host).
        for (int i = 0; i < jobs; ++i) {
            auto fetcher = std::make_unique<PageFetcher>();
            fetcher->setProxy(engine.m_settings.proxy);
            fetcher->setTimeoutMs(engine.m_settings.timeoutMs);
            fetcher->addAuthorities(engine.m_settings.authorities);
            fetcher->setInsecure(engine.m_settings.insecure);
            m_workers.push_back(std::move(fetcher));
        }
    }

    ~Run() { cancel(); }

    // Aborts every request; nothing of this run reaches the engine afterwards,
    // even from a handler that is still on the stack.
    void cancel()
    {
        m_cancelled = true;
        m_limiter.clear();
        for (auto &fetcher : m_workers)
            fetcher->abortAll();
    }

    void start()
    {
        FetchRequest *request = m_workers.front()->GetHtmlCode(m_site, m_site);
        QObject::connect(request, &FetchRequest::finished, &m_engine,
                         [this](const FetchResult &result) { harvested(result); });
    }

    [[nodiscard]] bool done() const { return m_done; }

private:
    void harvested(const FetchResult &result)
    {
        if (m_cancelled)
            return;
        m_engine.m_siteTlsError = result.tlsError;
        if (result.kind == FetchResult::Kind::SiteUnreachable) {
            finish(true);
            return;
        }
        const QList<HarvestedLink> links = harvestLinks(result.text, m_site);
        for (const HarvestedLink &link : links) {
            CheckRow row;
            row[Column::lianjie].text = link.lianjie;
            row[Column::guanjianzi].text = link.guanjianzi;
            m_engine.m_rows.append(row);
            emit m_engine.rowAdded(int(m_engine.m_rows.size()) - 1, link.lianjie, link.guanjianzi);
            if (m_cancelled)
                return; // a slot restarted or stopped the check: the rows are no longer ours
        }
        m_total = int(links.size());
        emit m_engine.progress(0, m_total);
        if (m_cancelled)
            return;
        if (m_total == 0) {
            finish(false);
            return;
        }
        for (size_t worker = 0; worker < m_workers.size() && m_nextRow < m_total; ++worker)
            probeNextRow(worker);
    }

    void probeNextRow(size_t worker)
    {
        if (m_cancelled || m_nextRow >= m_total)
            return;
        const int row = m_nextRow++;
        const QString link = m_engine.m_rows[row][Column::lianjie].text;
        fetchLimited(worker, link, [this, worker, row, link](const FetchResult &page) {
            if (m_cancelled)
                return;
            m_engine.m_rows[row].tlsError = page.tlsError;
            setCell(row, Column::fanlian, fanlianCell(backLinkReport(page.text, m_needle)));
            if (m_cancelled)
                return;
            fetchLimited(worker, baiduQueryUrl(m_engine.m_settings.baiduHost, link),
                         [this, worker, row, link](const FetchResult &answer) {
                             const BaiduCells cells = baiduCells(parseBaiduPage(answer.text, link));
                             setCell(row, Column::shoulu, cells.shoulu);
                             setCell(row, Column::kuaizhao, cells.kuaizhao);
                             setCell(row, Column::rp, cells.rp);
                             rowDone(worker);
                         });
        });
    }

    // Fetches address on the worker's fetcher once its host has a free place.
    void fetchLimited(size_t worker, const QString &address, std::function<void(const FetchResult &)> done)
    {
        const QString host = hostOf(address);
        m_limiter.acquire(host, [this, worker, address, host, done = std::move(done)] {
            if (m_cancelled)
                return;
            FetchRequest *request = m_workers[worker]->GetHtmlCode(address, m_site);
            QObject::connect(request, &FetchRequest::finished, &m_engine,
                             [this, host, done](const FetchResult &result) {
                                 m_limiter.release(host);
                                 done(result);
                             });
        });
    }

    void setCell(int row, Column column, const Cell &cell)
    {
        if (m_cancelled)
            return;
        m_engine.m_rows[row][column] = cell;
        emit m_engine.cellSet(row, column, cell.text, cell.red);
    }

    void rowDone(size_t worker)
    {
        if (m_cancelled)
            return;
        ++m_rowsDone;
        emit m_engine.progress(m_rowsDone, m_total);
        if (m_rowsDone == m_total) {
            finish(false);
            return;
        }
        probeNextRow(worker);
    }

    void finish(bool unreachable)
    {
        if (m_cancelled)
            return;
        m_done = true;
        if (unreachable)
            emit m_engine.siteUnreachable();
        emit m_engine.finished();
    }

    CheckEngine &m_engine;
    const QString m_site;
    const QString m_needle;
    HostLimiter m_limiter;
    std::vector<std::unique_ptr<PageFetcher>> m_workers;
    int m_total = 0;
    int m_nextRow = 0;
    int m_rowsDone = 0;
    bool m_done = false;
    bool m_cancelled = false;
};

CheckEngine::CheckEngine(CheckSettings settings, QObject *parent)
    : QObject(parent)
    , m_settings(std::move(settings))
{
}

CheckEngine::~CheckEngine() = default;

void CheckEngine::start(const QString &site)
{
    cancel();
    // Pasted addresses often carry blanks, tabs or a line break around them;
    // everything from the fetch to the back-link needle uses the trimmed text.
    m_site = site.trimmed();
    m_siteTlsError.clear();
    m_rows.clear();
    m_clock.start();
    emit started(m_site);
    m_run = std::make_unique<Run>(*this, m_site);
    m_run->start();
}

void CheckEngine::cancel()
{
    if (!m_run)
        return;
    // A handler of this run may still be on the stack (a slot that restarts
    // the check from a signal): silence the run now, free it once control is back.
    m_run->cancel();
    QTimer::singleShot(0, this, [retired = std::shared_ptr<Run>(std::move(m_run))] {});
}

bool CheckEngine::isRunning() const
{
    return m_run && !m_run->done();
}

} // namespace friendlinks
