#pragma once

#include "check/CheckEngine.h"
#include "check/CheckSettings.h"
#include "check/ResultsModel.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>

#include <memory>
#include <vector>

namespace friendlinks {

class WorkerPool;

// The check of several sites at once: one engine per site on one shared
// worker pool (its workers, its per-host limit, its Baidu pace and Baidu's
// block, which is the machine's: once Baidu asks for a security check no site
// asks it again), and the combined progress. Only so many sites are started
// ahead of the workers; the next one starts as one finishes. A site whose
// results have been written can be released, so a long batch stays small.
class BatchCheck : public QObject {
    Q_OBJECT
public:
    BatchCheck(CheckSettings settings, QStringList sites, QObject *parent = nullptr);
    ~BatchCheck() override;

    void start();

    [[nodiscard]] int siteCount() const { return int(m_sites.size()); }
    // The results of a site, in the order given; null before it started and once released.
    [[nodiscard]] const ResultsModel *results(int site) const;
    // Every site's results, in the order given (none released).
    [[nodiscard]] QList<const ResultsModel *> allResults() const;
    [[nodiscard]] bool isFinished(int site) const { return m_finishedSites[size_t(site)]; }
    // Lets a finished site's engine and results go (once control is back).
    void release(int site);
    // Milliseconds since start().
    [[nodiscard]] qint64 elapsedMs() const { return m_clock.isValid() ? m_clock.elapsed() : 0; }

signals:
    // Sites finished of all sites, and the rows checked of the rows harvested so far (a
    // total that grows as sites are harvested, so not one to count against).
    void progress(int sitesDone, int sites, int rowsDone, int rows);
    void baiduBlocked();                 // once for the batch
    // The site given at index site has been checked: its whole result, and its
    // results() are complete.
    void siteFinished(int site, const friendlinks::SiteResult &result);
    void finished();                     // after the last site's siteFinished()

private:
    void launchNext();
    void siteDone(int site, const SiteResult &result);
    void emitProgress();

    CheckSettings m_settings;
    QStringList m_sites;
    std::shared_ptr<WorkerPool> m_pool;
    std::vector<std::unique_ptr<CheckEngine>> m_engines; // one per site, in the order given
    std::vector<std::pair<int, int>> m_progress;         // per site: rows done, rows
    std::vector<bool> m_finishedSites;
    int m_launched = 0;
    int m_finished = 0;
    bool m_baiduBlocked = false;
    QElapsedTimer m_clock;
};

} // namespace friendlinks
