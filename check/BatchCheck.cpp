#include "check/BatchCheck.h"

#include "check/WorkerPool.h"

#include <QTimer>

namespace friendlinks {

BatchCheck::BatchCheck(CheckSettings settings, QStringList sites, QObject *parent)
    : QObject(parent)
    , m_settings(std::move(settings))
    , m_sites(std::move(sites))
{
    for (int site = 0; site < m_sites.size(); ++site) {
        auto engine = std::make_unique<CheckEngine>(m_settings);
        connect(engine.get(), &CheckEngine::progress, this, [this, site](int done, int total) {
            m_progress[size_t(site)] = {done, total};
            int allDone = 0;
            int all = 0;
            for (const auto &[siteDone, siteTotal] : m_progress) {
                allDone += siteDone;
                all += siteTotal;
            }
            emit progress(allDone, all);
        });
        connect(engine.get(), &CheckEngine::finished, this, [this, site] { siteDone(site); });
        connect(engine.get(), &CheckEngine::baiduBlocked, this, [this] {
            if (m_baiduBlocked)
                return;
            m_baiduBlocked = true;
            emit baiduBlocked();
            // Once control is back, so no other site's rows are settled inside this one's handler.
            QTimer::singleShot(0, this, [this] {
                for (const auto &other : m_engines)
                    other->stopBaiduQueries();
            });
        });
        m_engines.push_back(std::move(engine));
    }
}

BatchCheck::~BatchCheck()
{
    for (const auto &engine : m_engines) {
        engine->disconnect(this);
        engine->cancel();
    }
}

void BatchCheck::start()
{
    m_progress.assign(m_engines.size(), {0, 0});
    m_finished = 0;
    m_baiduBlocked = false;
    // One pool for the batch: the sites share its workers and its per-host limit.
    auto pool = std::make_shared<WorkerPool>(m_settings);
    for (size_t site = 0; site < m_engines.size(); ++site)
        m_engines[site]->start(m_sites[qsizetype(site)], pool);
}

void BatchCheck::siteDone(int site)
{
    ++m_finished;
    emit siteFinished(site);
    if (m_finished == siteCount())
        emit finished();
}

QList<const ResultsModel *> BatchCheck::allResults() const
{
    QList<const ResultsModel *> all;
    for (const auto &engine : m_engines)
        all << engine->results();
    return all;
}

bool BatchCheck::cannotCheck(int site) const
{
    const SiteOutcome &outcome = results(site).outcome();
    return !outcome.reachable || outcome.home.status >= 400;
}

QString BatchCheck::baiduTlsError() const
{
    for (const auto &engine : m_engines) {
        if (const QString error = engine->baiduTlsError(); !error.isEmpty())
            return error;
    }
    return {};
}

qint64 BatchCheck::elapsedMs() const
{
    return m_engines.empty() ? 0 : m_engines.front()->elapsedMs();
}

} // namespace friendlinks
