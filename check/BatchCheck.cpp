#include "check/BatchCheck.h"

#include "check/WorkerPool.h"

#include <QTimer>

#include <algorithm>

namespace friendlinks {

BatchCheck::BatchCheck(CheckSettings settings, QStringList sites, QObject *parent)
    : QObject(parent)
    , m_settings(std::move(settings))
    , m_sites(std::move(sites))
{
}

BatchCheck::~BatchCheck()
{
    for (const auto &engine : m_engines) {
        if (engine) {
            engine->disconnect(this);
            engine->cancel();
        }
    }
}

void BatchCheck::start()
{
    m_engines.clear();
    m_engines.resize(size_t(m_sites.size()));
    m_progress.assign(m_engines.size(), {0, 0});
    m_finishedSites.assign(m_engines.size(), false);
    m_launched = 0;
    m_finished = 0;
    m_baiduBlocked = false;
    m_clock.start();
    // One pool for the batch: the sites share its workers and its per-host limit.
    m_pool = std::make_shared<WorkerPool>(m_settings);
    // Enough sites ahead that no worker waits for one; the rest wait as text only.
    const int ahead = std::max(2, 2 * m_settings.jobs);
    while (m_launched < std::min(ahead, siteCount()))
        launchNext();
}

void BatchCheck::launchNext()
{
    if (m_launched >= siteCount())
        return;
    const int site = m_launched++;
    auto engine = std::make_unique<CheckEngine>(m_settings);
    connect(engine.get(), &CheckEngine::progress, this, [this, site](int done, int total) {
        m_progress[size_t(site)] = {done, total};
        emitProgress();
    });
    connect(engine.get(), &CheckEngine::siteFinished, this,
            [this, site](const SiteResult &result) { siteDone(site, result); });
    connect(engine.get(), &CheckEngine::baiduBlocked, this, [this] {
        if (m_baiduBlocked)
            return; // the pool holds the block for every site; said once
        m_baiduBlocked = true;
        emit baiduBlocked();
    });
    m_engines[size_t(site)] = std::move(engine);
    m_engines[size_t(site)]->start(m_sites[site], m_pool);
}

void BatchCheck::emitProgress()
{
    int rowsDone = 0;
    int rows = 0;
    for (const auto &[siteDone, siteTotal] : m_progress) {
        rowsDone += siteDone;
        rows += siteTotal;
    }
    emit progress(m_finished, siteCount(), rowsDone, rows);
}

void BatchCheck::siteDone(int site, const SiteResult &result)
{
    m_finishedSites[size_t(site)] = true;
    ++m_finished;
    emitProgress();
    emit siteFinished(site, result);
    if (m_finished < siteCount())
        launchNext();
    else
        emit finished();
}

const ResultsModel *BatchCheck::results(int site) const
{
    const auto &engine = m_engines[size_t(site)];
    return engine ? engine->results() : nullptr;
}

QList<const ResultsModel *> BatchCheck::allResults() const
{
    QList<const ResultsModel *> all;
    for (int site = 0; site < siteCount(); ++site)
        all << results(site);
    return all;
}

void BatchCheck::release(int site)
{
    auto &engine = m_engines[size_t(site)];
    if (!engine)
        return;
    // Not inside its own signal: it goes once control is back (or with the batch).
    QTimer::singleShot(0, this, [retired = std::shared_ptr<CheckEngine>(std::move(engine))] {});
}

} // namespace friendlinks
