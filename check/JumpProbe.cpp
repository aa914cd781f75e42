#include "check/JumpProbe.h"

#include "check/CheatCells.h"
#include "check/CheckRules.h"
#include "probes/JumpAnchors.h"
#include "probes/PageScan.h"
#include "web/PageFetcher.h"

namespace friendlinks {
namespace {

// A redirect's answer is read no further: its body says nothing we need.
constexpr qint64 kJumpBodyBytes = 64 * 1024;

// Hands each anchor of the page to the scanner as it is read: a page of many
// anchors is never held as a list.
class JumpAnchorVisitor final : public PageVisitor {
public:
    explicit JumpAnchorVisitor(JumpAnchorScanner &scanner) : m_scanner(scanner) {}
    [[nodiscard]] bool wantsStyledChains() const override { return false; }
    void anchor(PageAnchor &&anchor, const QList<StyledElement> &) override { m_scanner.add(anchor); }

private:
    JumpAnchorScanner &m_scanner;
};

ProbeResult nothingFound()
{
    ProbeResult result;
    result.change = [](ResultRow &) {};
    return result;
}

} // namespace

JumpProbe::JumpProbe(WorkerPool &pool, WorkerPool::Client &client, QString site)
    : m_pool(pool), m_client(client), m_site(std::move(site)), m_ourSite(PageFetcher::withScheme(m_site.trimmed()))
{
}

void JumpProbe::run(const RowContext &row, std::function<void(const ProbeResult &)> done)
{
    // The page probe hands the page on only when nothing on it links back.
    if (!row.page || row.page->kind != FetchResult::Kind::Page) {
        done(nothingFound());
        return;
    }
    const QString address = row.page->finalUrl.isEmpty() ? PageFetcher::withScheme(row.link) : row.page->finalUrl;
    std::function<JumpScan(const FetchResult &)> work = [address, ourSite = m_ourSite](const FetchResult &page) {
        JumpAnchorScanner scanner(address, ourSite);
        JumpAnchorVisitor visitor(scanner);
        readPage(page.text, address, visitor);
        return scanner.take();
    };
    m_pool.readLane().readPage<JumpScan>(&m_client, *row.page, std::move(work),
                                     [this, worker = row.worker, done = std::move(done)](JumpScan &&scan) mutable {
                                         if (scan.byQuery) {
                                             done(found(*scan.byQuery));
                                             return;
                                         }
                                         ask(std::move(scan.toAsk), worker, std::move(done));
                                     });
}

void JumpProbe::ask(QList<PageAnchor> anchors, int worker, std::function<void(const ProbeResult &)> done)
{
    if (anchors.isEmpty()) {
        done(nothingFound());
        return;
    }
    PageAnchor anchor = anchors.takeFirst();
    FetchOptions options;
    options.followRedirect = [](const QString &) { return false; }; // one request: where it sends us is enough
    options.maxBodyBytes = kJumpBodyBytes;
    const QString address = anchor.address;
    m_pool.fetch(&m_client, worker, address, m_site, options,
                 [this, anchor = std::move(anchor), anchors = std::move(anchors), worker,
                  done = std::move(done)](const FetchResult &answer) mutable {
                     const QString location = answer.redirects.isEmpty() ? QString() : answer.redirects.last();
                     if (const std::optional<QString> target = redirectToSite(answer.status, location, m_ourSite)) {
                         done(found(FoundJump{anchor, *target}));
                         return;
                     }
                     ask(std::move(anchors), worker, std::move(done));
                 });
}

ProbeResult JumpProbe::found(const FoundJump &jump)
{
    ProbeResult result;
    const BackLinkFacts via{jump.anchor.href, jump.anchor.rel, jump.anchor.follow, jump.target, jump.anchor.address};
    result.change = [via](ResultRow &row) {
        Cell &cell = row.cells[Column::fanlian];
        if (row.facts.backlinkVerdict != BackLinkVerdict::NoLink || cell.text != kNoLink)
            return;
        cell = Cell{kJumpLinkCell, true};
        row.facts.backlink = via;
        row.facts.backlinkVerdict = BackLinkVerdict::PassesNothing;
    };
    return result;
}

} // namespace friendlinks
