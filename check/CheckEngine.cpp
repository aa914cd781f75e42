#include "check/CheckEngine.h"

#include "check/CheckMode.h"
#include "check/CheckRules.h"
#include "check/Harvest.h"
#include "probes/BackLinkProbe.h"
#include "probes/BaiduProbe.h"

#include <QDateTime>
#include <QTimer>

namespace friendlinks {

// One check from start to end, a client of the worker pool: its first task
// is the harvest, then one task per row. Destroying it cancels everything in
// flight: its requests are aborted, so no late answer reaches the engine.
class CheckEngine::Run : public WorkerPool::Client {
public:
    Run(CheckEngine &engine, const QString &site, std::shared_ptr<WorkerPool> pool)
        : m_pool(std::move(pool))
        , m_engine(engine)
        , m_site(site)
        , m_mode(engine.outcome().modern, site)
        , m_settings(checkedWith(engine.m_settings))
        , m_startedAt(QDateTime::currentDateTimeUtc())
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
        if (m_harvested)
            emit m_engine.progress(0, m_total);
        m_pool->attach(this);
        m_pool->offerIdleWorkers();
    }

    [[nodiscard]] bool done() const { return m_done; }

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
        probeRow(worker, m_queue[m_nextRow++]);
        return true;
    }

private:
    void harvested(int worker, const FetchResult &result)
    {
        if (m_cancelled)
            return;
        SiteOutcome &outcome = m_engine.m_writer.outcome();
        outcome.home = result;
        outcome.home.text.clear(); // the facts of the answer, not the page
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

    void probeRow(int worker, int row)
    {
        const QString link = m_engine.m_results->row(row).cells[Column::lianjie].text;
        m_pool->fetch(this, worker, link, m_site, [this, worker, row, link](const FetchResult &page) {
            if (m_cancelled)
                return;
            const BackLinkJudgement judged = m_mode.judgeBackLink(page, link);
            setCell(row, Column::fanlian, judged.cell);
            RowFacts facts = pageFacts(page, link);
            facts.backlink = judged.anchor;
            facts.ourLink = m_engine.m_results->row(row).facts.ourLink; // read at the harvest, kept
            setFacts(row, facts);
            if (m_cancelled)
                return;
            queryBaidu(worker, row, link);
        });
    }

    // One Baidu query for the row, at the pace asked for, shared with every
    // row of the run that asks for the same address; none once Baidu has asked
    // for a security check (every further query only deepens the block).
    void queryBaidu(int worker, int row, const QString &link)
    {
        m_pool->askBaidu(this, worker, m_mode.baiduQuery(m_engine.m_settings.baiduHost, link), m_site,
                         [this, worker, row, link](const FetchResult *answer) {
                             if (m_cancelled)
                                 return;
                             QString &tlsError = m_engine.m_writer.outcome().baiduTlsError;
                             if (answer && tlsError.isEmpty())
                                 tlsError = answer->tlsError;
                             baiduAnswered(worker, row, link, answer);
                         });
    }

    // answer is null when no query was sent because Baidu blocks us.
    void baiduAnswered(int worker, int row, const QString &link, const FetchResult *answer)
    {
        if (m_cancelled)
            return;
        const std::optional<BaiduResult> result = answer ? m_mode.parseBaidu(answer->text, link) : std::nullopt;
        RowFacts facts = m_engine.m_results->row(row).facts;
        // A count the cell cannot show (modern) is not a read answer: the state says why.
        const bool counted = result && !result->count.isEmpty();
        facts.baidu = answer ? baiduFacts(*answer, counted) : BaiduFacts{BaiduState::Blocked, {}};
        const BaiduCells cells = m_mode.baiduCells(result, facts.baidu->state);
        setCell(row, Column::shoulu, cells.shoulu);
        setCell(row, Column::kuaizhao, cells.kuaizhao);
        setCell(row, Column::rp, cells.rp);
        setFacts(row, facts);
        if (m_cancelled)
            return;
        if (facts.baidu->state == BaiduState::Blocked && !m_baiduBlocked) {
            m_baiduBlocked = true;
            m_engine.m_writer.outcome().baiduBlocked = true;
            emit m_engine.baiduBlocked();
            if (m_cancelled)
                return;
        }
        rowDone(worker);
    }

    void setCell(int row, Column column, const Cell &cell)
    {
        if (m_cancelled)
            return;
        m_engine.m_writer.setCell(row, column, cell);
    }

    void setFacts(int row, const RowFacts &facts)
    {
        if (m_cancelled)
            return;
        m_engine.m_writer.setFacts(row, facts);
    }

    void rowDone(int worker)
    {
        if (m_cancelled)
            return;
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
    QList<int> m_queue; // the rows to probe, in order
    QList<int> m_rechecked; // a re-check's rows
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
    // The cells to be probed again start empty, as in a new check.
    for (const int row : valid) {
        for (const Column column : {Column::fanlian, Column::shoulu, Column::kuaizhao, Column::rp})
            m_writer.setCell(row, column, Cell{});
        RowFacts cleared;
        cleared.ourLink = m_results->row(row).facts.ourLink; // the site's own page is not read again
        m_writer.setFacts(row, cleared);
    }
    if (m_run)
        return true; // a slot started a new check meanwhile: that one stands
    launch(std::make_unique<Run>(*this, outcome().site, std::make_shared<WorkerPool>(m_settings), valid));
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

bool CheckEngine::isRunning() const
{
    return m_run && !m_run->done();
}

} // namespace friendlinks
