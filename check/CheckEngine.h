#pragma once

#include "check/CheckSettings.h"
#include "check/Columns.h"
#include "check/Messages.h"
#include "check/ResultsModel.h"
#include "check/ResultsWriter.h"
#include "check/SiteResult.h"
#include "check/RowFacts.h"
#include "check/WorkerPool.h"
#include "web/FetchResult.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>

namespace friendlinks {

// The most rows one site's check has: a page listing more friend links than
// this is no friend-links page, and its rows would only fill memory.
inline constexpr int kMaxRowsPerSite = 10000;

// Runs the friend-link check of one site: fetches the entered site, harvests
// its friend links, then probes every row (back-link page, one Baidu query).
// Reports through signals; rows keep harvest order whatever order answers
// arrive in. start() while a check runs cancels that check and restarts.
class CheckEngine : public QObject {
    Q_OBJECT
public:
    explicit CheckEngine(CheckSettings settings = {}, QObject *parent = nullptr);
    ~CheckEngine() override;

    // site is trimmed of white space around it; site() gives the trimmed text.
    void start(const QString &site);
    // The same check on workers shared with other engines (a batch of sites):
    // the pool's fetch settings apply, this engine's for the rest.
    void start(const QString &site, std::shared_ptr<WorkerPool> pool);
    // Probes the given rows of the last check again (back link, Baidu) and
    // leaves the other rows as they are: progress() counts them, recheckFinished()
    // ends it. False, doing nothing, while a check runs or with no valid row.
    bool recheck(const QList<int> &rows);
    // Stops the running check: requests aborted, late answers ignored, no siteFinished().
    void cancel();
    // Stops the running check or re-check as the user asks: cancel(), the rows
    // it had not probed to their end marked in results() (isUnchecked), the
    // cells already filled kept, then stopped(). False when nothing runs.
    bool stop();

    [[nodiscard]] bool isRunning() const;
    // The rows and the site's outcome of the last check, live as it runs: read-only,
    // written only by the engine. What a check ended with comes whole with siteFinished().
    [[nodiscard]] ResultsModel *results() const { return m_results; }
    [[nodiscard]] const CheckSettings &settings() const { return m_settings; }
    // From the next start on: the modern mode or the classic one (a running check keeps its own).
    void setModern(bool modern) { m_settings.modern = modern; }
    // From the next start on: use Baidu answers asked at most maxAgeMs ago (0: ask
    // anew), those recorded in history too (empty: only the check's own).
    void setBaiduAnswers(qint64 maxAgeMs, const QString &history)
    {
        m_settings.baiduMaxAgeMs = maxAgeMs;
        m_settings.baiduAnswerHistory = history;
    }
    // From the next start on: these settings (a running check keeps its own).
    void setSettings(CheckSettings settings) { m_settings = std::move(settings); }
    // Milliseconds since the last start().
    [[nodiscard]] qint64 elapsedMs() const { return m_clock.isValid() ? m_clock.elapsed() : 0; }

signals:
    // Rows, cells and facts arrive through results(), the model's own signals.
    void started(const QString &site);       // rows cleared
    void progress(int done, int total);      // after the harvest and after each row
    void baiduBlocked();                     // once: no further Baidu query in this check
                                             // (also when the block came in another check on the pool)
    // The check ran to its end, once per start() (also for a site that cannot be
    // fetched: no rows, outcome.reachable false); not after a cancel.
    void siteFinished(const friendlinks::SiteResult &result);
    // A recheck() ran to its end: every row, those probed again in result.rechecked.
    void recheckFinished(const friendlinks::SiteResult &result);
    // stop() ended a check (or a re-check) after checked of its total rows had
    // been probed; total is 0 when the site's page had not been read yet.
    void stopped(int checked, int total, bool recheck);

private:
    class Run;
    friend class Run;
    void launch(std::unique_ptr<Run> run);

    [[nodiscard]] const SiteOutcome &outcome() const { return m_results->outcome(); }

    CheckSettings m_settings;
    ResultsWriter m_writer;
    ResultsModel *m_results = m_writer.model(); // what the engine reads back
    QElapsedTimer m_clock;
    std::unique_ptr<Run> m_run;
};

} // namespace friendlinks
