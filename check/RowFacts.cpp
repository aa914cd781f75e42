#include "check/RowFacts.h"

#include "web/PageFetcher.h"

namespace friendlinks {

RowFacts pageFacts(const FetchResult &page, const QString &link)
{
    RowFacts facts;
    facts.status = page.status;
    facts.finalUrl = page.finalUrl;
    facts.ms = page.elapsedMs;
    facts.tlsError = page.tlsError; // kept whether the page was read (--insecure) or not
    if (page.kind != FetchResult::Kind::Page)
        return facts;
    const PageLinkFacts links =
        pageLinkFacts(page.text, page.headers, {PageFetcher::withScheme(link), page.finalUrl});
    facts.pageNofollow = links.nofollow;
    facts.outbound = links.outbound;
    return facts;
}

BaiduFacts baiduFacts(const FetchResult &answer, bool cellsFilled)
{
    const bool read = answer.kind == FetchResult::Kind::Page;
    BaiduFacts facts;
    facts.state = baiduState(answer, cellsFilled);
    facts.count = read ? baiduIndexCount(answer.text) : std::nullopt;
    return facts;
}

std::optional<bool> spiderHidden(const RowFacts &facts)
{
    if (!facts.spiderView || !facts.spiderView->backlink)
        return std::nullopt;
    const BackLinkVerdict browser = facts.backlinkVerdict;
    if (browser == BackLinkVerdict::Unknown || browser == BackLinkVerdict::NotRead)
        return std::nullopt;
    const bool browserSees = facts.backlink && facts.backlink->via.isEmpty();
    return browserSees != *facts.spiderView->backlink;
}

} // namespace friendlinks
