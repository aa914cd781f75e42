#pragma once

#include "check/RowProbe.h"
#include "check/WorkerPool.h"

namespace friendlinks {

class CheckMode;

// The friend's page fetched a second time as Baidu's spider (its User-Agent),
// under the same per-host limit and body budget as the first: does the spider
// get the link back the browser got? Fills spider_view; in modern mode a link
// back only one of the two sees turns the back-link cell red ("对百度蜘蛛隐藏").
// A server that tells the spider by its IP addresses cannot be seen from here.
class SpiderViewProbe final : public RowProbe {
public:
    SpiderViewProbe(WorkerPool &pool, WorkerPool::Client &client, const CheckMode &mode, QString site);

    QString name() const override { return QStringLiteral("spider_view"); }
    QString fetches() const override { return QStringLiteral("the friend's home page as Baidu's spider"); }
    QStringList fills() const override { return {QStringLiteral("spider_view")}; }
    void clear(ResultRow &row) const override;
    void run(const RowContext &row, std::function<void(const ProbeResult &)> done) override;

private:
    // The row's change for what the spider's fetch found.
    [[nodiscard]] ProbeResult probed(const SpiderViewFacts &facts) const;

    WorkerPool &m_pool;
    WorkerPool::Client &m_client;
    const CheckMode &m_mode;
    QString m_site;
};

} // namespace friendlinks
