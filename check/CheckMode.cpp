#include "check/CheckMode.h"

#include "check/CheckRules.h"
#include "probes/BackLinkProbe.h"
#include "probes/ModernBackLink.h"
#include "probes/ModernBaidu.h"
#include "web/PageFetcher.h"

namespace friendlinks {

CheckMode::CheckMode(bool modern, const QString &site)
    : m_modern(modern)
    , m_site(site)
    , m_needle(normalisedSiteText(site))
    , m_siteHost(modern ? comparableSiteHost(site) : QString())
{
}

Harvest CheckMode::harvestHome(const FetchResult &home, int maxLinks) const
{
    if (!m_modern)
        return harvest(home.text, m_site, LinkMode::Classic, {}, maxLinks);
    if (home.status >= 400)
        return {}; // no engine reads an error page's links
    return harvest(home.text, m_site, LinkMode::Modern, home.finalUrl, maxLinks);
}

BackLinkJudgement CheckMode::judgeBackLink(const FetchResult &page, const QString &link) const
{
    if (!m_modern) {
        const BackLinkScan scan = friendlinks::scanBackLinks(page.text, m_needle);
        std::optional<BackLinkFacts> anchor;
        if (page.kind == FetchResult::Kind::Page && !scan.anchor.isEmpty())
            anchor = backLinkFacts(scan.anchor);
        return {fanlianCell(scan.report), anchor};
    }
    if (page.kind == FetchResult::Kind::TooSlow)
        return {{kTooSlow, true}, {}};
    if (page.status >= 400)
        return {{kPageErrorCell.arg(page.status), true}, {}};
    if (page.kind != FetchResult::Kind::Page)
        return {{kEmptyBody, true}, {}};
    const bool pageNofollow = pageLinkFacts(page.text, page.headers, {}).nofollow;
    const QString address = page.finalUrl.isEmpty() ? PageFetcher::withScheme(link) : page.finalUrl;
    const ModernBackLinkScan scan = scanModernBackLinks(page.text, address, m_siteHost, pageNofollow);
    if (!scan.anchor)
        return {{kNoLink, true}, {}};
    return {{keptText(scan.anchor->text), !scan.passes},
            BackLinkFacts{scan.anchor->href, scan.anchor->rel, scan.anchor->follow, scan.anchor->address}};
}

QString CheckMode::baiduQuery(const QString &baiduHost, const QString &link) const
{
    return m_modern ? modernBaiduQueryUrl(baiduHost, link) : baiduQueryUrl(baiduHost, link);
}

std::optional<BaiduResult> CheckMode::parseBaidu(const QString &page, const QString &link) const
{
    return m_modern ? parseModernBaiduPage(page, link) : parseBaiduPage(page, link);
}

} // namespace friendlinks
