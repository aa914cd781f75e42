#include "check/CheckEngine.h"

#include "check/CheckMode.h"
#include "check/CheckRules.h"
#include "check/Harvest.h"
#include "check/RowProbes.h"

#include <QDateTime>
#include <QSet>
#include <QTimer>

namespace friendlinks {

// One check from start to end, a client of the worker pool: its first task
// is the harvest, then one task per row, which runs the row's probes in order.
// Destroying it cancels everything in flight: its requests are aborted, so no
// late answer reaches the engine.
class CheckEngine::Run : public WorkerPool::Client {
public:
    Run(CheckEngine &engine, const QString &site, std::shared_ptr<WorkerPool> pool)
        : m_pool(std::move(pool))
        , m_engine(engine)
        , m_site(site)
        , m_mode(engine.outcome().modern, site)
        , m_settings(checkedWith(engine.m_settings))
        , m_startedAt(QDateTime::currentDateTimeUtc())
        , m_probes(rowProbes(*m_pool, *this, m_mode, site, engine.m_settings.baiduHost, engine.m_settings.spiderCheck))
    {
    }

    // A run that probes the given rows again instead of harvesting.
    Run(CheckEngine &engine, const QString &site, std::shared_ptr<WorkerPool> pool, QList<int> rows)
        : Run(engine, site, std::move(pool))
    {
        m_queue = std::move(rows);
        m_rechecked = m_queue;
        m_recheck = true;
        m_total = int(m_queue.size());
        m_harvestStarted = true;
        m_harvested = true;
    }

    ~Run() override { cancel(); }

    // Aborts every request; nothing of this run reaches the engine afterwards,
    // even from a handler that is still on the stack.
    void cancel()
    {
        m_cancelled = true;
        m_pool->detach(this);
    }

    void start()
    {
        if (m_pool->baiduAnswers().isOn())
            m_engine.m_writer.outcome().baiduFallback = SiteOutcome::BaiduFallback{};
        if (m_harvested)
            emit m_engine.progress(0, m_total);
        m_pool->attach(this);
        m_pool->offerIdleWorkers();
    }

    [[nodiscard]] bool done() const { return m_done; }
    [[nodiscard]] int rowsDone() const { return m_rowsDone; }
    [[nodiscard]] int total() const { return m_total; }
    [[nodiscard]] bool recheck() const { return m_recheck; }

    // The rows it was to probe that it has not probed to their end.
    [[nodiscard]] QList<int> unfinishedRows() const
    {
        QList<int> rows;
        for (const int row : m_queue)
            if (!m_finishedRows.contains(row))
                rows << row;
        return rows;
    }

    // Empties what the probes fill in the row, before it is probed again.
    void clearRow(int row)
    {
        m_engine.m_writer.updateRow(row, [this](ResultRow &cleared) {
            for (const auto &probe : m_probes)
                probe->clear(cleared);
        });
    }

    bool takeWorker(int worker) override
    {
        if (m_cancelled)
            return false;
        if (!m_harvestStarted) {
            m_harvestStarted = true;
            m_pool->fetch(this, worker, m_site, m_site,
                          [this, worker](const FetchResult &result) { harvested(worker, result); });
            return true;
        }
        if (!m_harvested || m_nextRow >= m_total)
            return false;
        const int row = m_queue[m_nextRow++];
        runProbe(0, {row, worker, m_engine.m_results->row(row).cells[Column::lianjie].text});
        return true;
    }

private:
    void harvested(int worker, const FetchResult &result)
    {
        if (m_cancelled)
            return;
        SiteOutcome &outcome = m_engine.m_writer.outcome();
        outcome.home = result.withoutPage(); // the facts of the answer, not the page
        if (result.kind == FetchResult::Kind::SiteUnreachable) {
            outcome.reachable = false;
            finish();
            return;
        }
        const Harvest found = m_mode.harvestHome(result, kMaxRowsPerSite);
        const QList<HarvestedLink> &links = found.links;
        outcome.skipped = found.skipped;
        outcome.uncheckedLinks = found.beyondLimit;
        for (qsizetype i = 0; i < links.size(); ++i) {
            ResultRow row;
            row.cells[Column::lianjie].text = links[i].lianjie;
            row.cells[Column::guanjianzi].text = links[i].guanjianzi;
            row.facts.ourLink = found.ourLinks.value(i);
            m_queue.append(m_engine.m_writer.appendRow(row));
            if (m_cancelled)
                return; // a slot restarted or stopped the check: the rows are no longer ours
        }
        m_total = int(links.size());
        emit m_engine.progress(0, m_total);
        if (m_cancelled)
            return;
        if (m_total == 0) {
            finish();
            return;
        }
        m_harvested = true;
        m_pool->workerDone(worker); // this worker and every free one take the rows
    }

    // The row's probes one after the other on the worker, each result applied
    // to the row as it comes; the row is done after the last.
    void runProbe(size_t probe, const RowContext &row)
    {
        RowContext kept = row;
        kept.page.reset(); // the page goes to the next probe only, not along the whole row
        m_probes[probe]->run(row, [this, probe, row = std::move(kept)](const ProbeResult &result) {
            if (m_cancelled)
                return;
            QString &tlsError = m_engine.m_writer.outcome().baiduTlsError;
            if (tlsError.isEmpty())
                tlsError = result.searchTlsError;
            if (auto &fallback = m_engine.m_writer.outcome().baiduFallback; fallback && result.searchBlocked)
                ++(result.keptEarlierAnswer ? fallback->kept : fallback->empty);
            m_engine.m_writer.updateRow(row.row, result.change);
            if (m_cancelled)
                return;
            if (result.searchBlocked && !m_baiduBlocked) {
                m_baiduBlocked = true;
                m_engine.m_writer.outcome().baiduBlocked = true;
                emit m_engine.baiduBlocked();
                if (m_cancelled)
                    return;
            }
            if (probe + 1 < m_probes.size()) {
                RowContext next = row;
                next.page = result.page;
                runProbe(probe + 1, next);
            }
            else
                rowDone(row);
        });
    }

    void rowDone(const RowContext &row)
    {
        if (m_cancelled)
            return;
        const int worker = row.worker;
        m_finishedRows.insert(row.row);
        ++m_rowsDone;
        emit m_engine.progress(m_rowsDone, m_total);
        if (m_cancelled)
            return;
        if (m_rowsDone == m_total) {
            finish();
            return;
        }
        m_pool->workerDone(worker);
    }

    // The result goes out whole, once: a check's, or a re-check's with the rows it probed.
    void finish()
    {
        if (m_cancelled)
            return;
        m_done = true;
        m_pool->detach(this); // its last worker goes to the other sites of a batch
        const ResultsModel &results = *m_engine.m_results;
        SiteResult result{results.outcome(), results.rows(), m_startedAt, QDateTime::currentDateTimeUtc(),
                          m_settings, m_rechecked};
        if (m_recheck)
            emit m_engine.recheckFinished(result);
        else
            emit m_engine.siteFinished(result);
    }

    std::shared_ptr<WorkerPool> m_pool; // first: outlives the members its callbacks use
    CheckEngine &m_engine;
    const QString m_site;
    const CheckMode m_mode;
    const CheckedWith m_settings;
    const QDateTime m_startedAt;
    const RowProbes m_probes; // run in order for each row
    QList<int> m_queue; // the rows to probe, in order
    QList<int> m_rechecked; // a re-check's rows
    QSet<int> m_finishedRows; // the rows whose probes have all run
    bool m_recheck = false;
    bool m_harvestStarted = false;
    bool m_harvested = false;
    int m_total = 0;
    int m_nextRow = 0;
    int m_rowsDone = 0;
    bool m_baiduBlocked = false;
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
    start(site, std::make_shared<WorkerPool>(m_settings));
}

void CheckEngine::start(const QString &site, std::shared_ptr<WorkerPool> pool)
{
    cancel();
    // Pasted addresses often carry blanks, tabs or a line break around them;
    // everything from the fetch to the back-link needle uses the trimmed text.
    m_writer.clear(site.trimmed(), m_settings.modern);
    m_clock.start();
    emit started(outcome().site);
    launch(std::make_unique<Run>(*this, outcome().site, std::move(pool)));
}

bool CheckEngine::recheck(const QList<int> &rows)
{
    if (isRunning())
        return false;
    QList<int> valid;
    for (const int row : rows)
        if (row >= 0 && row < m_results->rowCount() && !valid.contains(row))
            valid.append(row);
    if (valid.isEmpty())
        return false;
    cancel();
    m_clock.start();
    auto pool = std::make_shared<WorkerPool>(m_settings);
    pool->baiduAnswers().askAnew(); // the user asked for these rows again: Baidu too
    auto run = std::make_unique<Run>(*this, outcome().site, std::move(pool), valid);
    // What its probes fill starts empty, as in a new check; the harvest's facts stay.
    m_writer.setUnchecked(valid, false);
    for (const int row : valid)
        run->clearRow(row);
    if (m_run)
        return true; // a slot started a new check meanwhile: that one stands
    launch(std::move(run));
    return true;
}

void CheckEngine::launch(std::unique_ptr<Run> run)
{
    m_run = std::move(run);
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

bool CheckEngine::stop()
{
    if (!isRunning())
        return false;
    const QList<int> unfinished = m_run->unfinishedRows();
    const int done = m_run->rowsDone();
    const int total = m_run->total();
    const bool recheck = m_run->recheck();
    cancel();
    m_writer.setUnchecked(unfinished, true);
    emit stopped(done, total, recheck);
    return true;
}

bool CheckEngine::isRunning() const
{
    return m_run && !m_run->done();
}

} // namespace friendlinks
