#pragma once

#include "check/RowProbe.h"
#include "check/WorkerPool.h"

#include <QUrl>

namespace friendlinks {

struct FoundJump;
struct PageAnchor;

// Modern mode, after the page probe found no link back: a link that goes to
// us through a redirect script of the friend's own site passes its weight to
// that script. An anchor carrying our address in its query is one; an anchor
// on the friend's host whose text or title names our site is asked once (the
// redirect not followed, at most kMaxJumpRequests of them a page) whether it
// answers a redirect to us. Either turns "没有链接" into "跳转链接" in red, and
// the back-link fact names the jump address (via).
class JumpProbe final : public RowProbe {
public:
    JumpProbe(WorkerPool &pool, WorkerPool::Client &client, QString site);

    QString name() const override { return QStringLiteral("jump"); }
    QString fetches() const override { return QStringLiteral("anchors of the friend's page that may redirect to us"); }
    QStringList fills() const override { return {QStringLiteral("backlink.via")}; }
    void clear(ResultRow &) const override {} // the page probe empties the back link it belongs to
    void run(const RowContext &row, std::function<void(const ProbeResult &)> done) override;

private:
    // Asks the anchors one after the other, until one redirects to us.
    void ask(QList<PageAnchor> anchors, int worker, std::function<void(const ProbeResult &)> done);
    [[nodiscard]] static ProbeResult found(const FoundJump &jump);

    WorkerPool &m_pool;
    WorkerPool::Client &m_client;
    QString m_site;
    QUrl m_ourSite;
};

} // namespace friendlinks
