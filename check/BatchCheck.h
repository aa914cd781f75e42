#pragma once

#include "check/CheckEngine.h"
#include "check/CheckSettings.h"
#include "check/ResultsModel.h"

#include <QObject>
#include <QStringList>

#include <memory>
#include <vector>

namespace friendlinks {

class WorkerPool;

// The check of several sites at once: one engine per site on one shared
// worker pool (its workers, its per-host limit, its Baidu pace), the combined
// progress, and Baidu's block, which is the machine's: once Baidu asks one
// site's check for a security check, no site of the batch asks it again.
class BatchCheck : public QObject {
    Q_OBJECT
public:
    BatchCheck(CheckSettings settings, QStringList sites, QObject *parent = nullptr);
    ~BatchCheck() override;

    void start();

    [[nodiscard]] int siteCount() const { return int(m_engines.size()); }
    // The results of a site, in the order given.
    [[nodiscard]] const ResultsModel &results(int site) const { return *m_engines[size_t(site)]->results(); }
    [[nodiscard]] QList<const ResultsModel *> allResults() const;
    // A site that could not be fetched, or whose home page answered an HTTP error.
    [[nodiscard]] bool cannotCheck(int site) const;
    // Certificate trouble of the first Baidu answer of the batch that had any.
    [[nodiscard]] QString baiduTlsError() const;
    // Milliseconds since start().
    [[nodiscard]] qint64 elapsedMs() const;

signals:
    void progress(int done, int total);  // every site's rows together
    void baiduBlocked();                 // once for the batch
    void siteFinished(int site);         // its results are complete
    void finished();                     // after the last site's siteFinished()

private:
    void siteDone(int site);

    CheckSettings m_settings;
    QStringList m_sites;
    std::vector<std::unique_ptr<CheckEngine>> m_engines; // one per site, in the order given
    std::vector<std::pair<int, int>> m_progress;         // per site: rows done, rows
    int m_finished = 0;
    bool m_baiduBlocked = false;
};

} // namespace friendlinks
