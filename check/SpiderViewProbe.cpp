#include "check/SpiderViewProbe.h"

#include "check/CheatCells.h"
#include "check/CheckMode.h"
#include "check/CheckRules.h"
#include "web/PageFetcher.h"

namespace friendlinks {

SpiderViewProbe::SpiderViewProbe(WorkerPool &pool, WorkerPool::Client &client, const CheckMode &mode, QString site)
    : m_pool(pool), m_client(client), m_mode(mode), m_site(std::move(site))
{
}

void SpiderViewProbe::clear(ResultRow &row) const
{
    row.facts.spiderView.reset();
}

void SpiderViewProbe::run(const RowContext &row, std::function<void(const ProbeResult &)> done)
{
    FetchOptions options;
    options.userAgent = kBaiduSpiderUserAgent;
    m_pool.fetch(&m_client, row.worker, row.link, m_site, options,
                 [this, link = row.link, done = std::move(done)](const FetchResult &page) mutable {
                     SpiderViewFacts facts;
                     facts.status = page.kind == FetchResult::Kind::SiteUnreachable ? 0 : page.status;
                     if (facts.status == 0) { // no answer came (an error page or an empty one is read: it holds no link)
                         done(probed(facts));
                         return;
                     }
                     const CheckMode &mode = m_mode; // lives as long as the check, whose end drops the read
                     m_pool.readLane().readPage<bool>(
                         &m_client, page,
                         [&mode, link](const FetchResult &read) { return mode.judgeBackLink(read, link).anchor.has_value(); },
                         [this, facts, done = std::move(done)](bool &&backlink) mutable {
                             facts.backlink = backlink;
                             done(probed(facts));
                         });
                 });
}

ProbeResult SpiderViewProbe::probed(const SpiderViewFacts &facts) const
{
    ProbeResult probed;
    probed.change = [facts, modern = m_mode.modern()](ResultRow &changed) {
        changed.facts.spiderView = facts;
        if (!modern || spiderHidden(changed.facts) != true)
            return;
        Cell &cell = changed.cells[Column::fanlian];
        if (changed.facts.backlinkVerdict == BackLinkVerdict::NoLink && cell.text == kNoLink)
            cell = Cell{kSpiderHiddenCell, true}; // only the spider is given the link
        else
            markPassesNothing(cell, changed.facts.backlinkVerdict, kSpiderHiddenCell);
    };
    return probed;
}

} // namespace friendlinks
