#include "check/CheckMode.h"

#include "probes/BackLinkProbe.h"
#include "probes/ModernBackLink.h"
#include "probes/ModernBaidu.h"
#include "check/FailureWords.h"
#include "web/PageFetcher.h"

namespace friendlinks {
namespace {

// "0篇", "约0篇", "0,000篇": digits, all of them zeros.
bool isZeroCount(QString count)
{
    count.remove(QStringLiteral("约")).remove(QLatin1Char(',')).remove(QStringLiteral("篇"));
    return !count.isEmpty() && count.count(QLatin1Char('0')) == count.size();
}

} // namespace

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
        return harvest(home.text, m_site, LinkMode::Classic, home.finalUrl, maxLinks);
    if (home.status >= 400)
        return {}; // no engine reads an error page's links
    return harvest(home.text, m_site, LinkMode::Modern, home.finalUrl, maxLinks);
}

BackLinkJudgement CheckMode::judgeBackLink(const FetchResult &page, const QString &link) const
{
    if (!m_modern) {
        const BackLinkResult scan = scanBackLinks(page.text, m_needle);
        const ClassicBackLink classic = classicBackLink(page, scan);
        std::optional<BackLinkFacts> anchor;
        if (page.kind == FetchResult::Kind::Page && !scan.anchor.isEmpty())
            anchor = backLinkFacts(scan.anchor);
        return {classic.cell, anchor, classic.verdict};
    }
    using Verdict = BackLinkVerdict;
    if (page.status >= 400)
        return {{kPageErrorCell.arg(page.status), true}, {}, Verdict::NotRead};
    if (page.kind != FetchResult::Kind::Page) // why, in the webmaster's words ("连接被拒绝")
        return {{failureText(page.failure == FetchResult::Failure::None ? FetchResult::Failure::Other : page.failure), true},
                {}, Verdict::NotRead};
    const bool pageNofollow = pageLinkFacts(page.text, page.headers, {}).nofollow;
    const QString address = page.finalUrl.isEmpty() ? PageFetcher::withScheme(link) : page.finalUrl;
    auto read = std::make_shared<ModernPageRead>();
    read->scan = scanModernBackLinks(page.text, address, m_siteHost, pageNofollow);
    read->pageNofollow = pageNofollow;
    read->tooLarge = page.failure == FetchResult::Failure::TooLarge;
    read->pageAddress = address;
    BackLinkJudgement judged = judgeModernScan(read->scan, read->tooLarge);
    judged.modernRead = std::move(read);
    return judged;
}

BackLinkJudgement judgeModernScan(const ModernBackLinkScan &scan, bool tooLarge)
{
    using Verdict = BackLinkVerdict;
    if (!scan.anchor) { // in a page cut at the size cap, the link may be in the part not read
        if (tooLarge)
            return {{failureText(FetchResult::Failure::TooLarge), true}, {}, Verdict::NotRead};
        return {{kNoLink, true}, {}, Verdict::NoLink};
    }
    BackLinkFacts facts{scan.anchor->href, scan.anchor->rel, scan.anchor->follow, scan.anchor->address};
    facts.where = kWherePage;
    if (scan.hiddenBy)
        facts.hiddenBy = scan.hiddenBy->text();
    const QString text = scan.hiddenBy ? kHiddenLinkCell : keptText(scan.anchor->text);
    return {{text, !scan.passes}, facts, scan.passes ? Verdict::Linked : Verdict::PassesNothing};
}

QString CheckMode::baiduQuery(const QString &baiduHost, const QString &link) const
{
    return m_modern ? modernBaiduQueryUrl(baiduHost, link) : baiduQueryUrl(baiduHost, link);
}

std::optional<BaiduResult> CheckMode::parseBaidu(const QString &page, const QString &link) const
{
    return m_modern ? parseModernBaiduPage(page, link) : parseBaiduPage(page, link);
}

BaiduCells CheckMode::baiduCells(const std::optional<BaiduResult> &result, BaiduState state) const
{
    BaiduCells cells = friendlinks::baiduCells(result);
    if (m_modern)
        cells.shoulu.red = state == BaiduState::NoResult || state == BaiduState::UnknownPage
            || (result && isZeroCount(result->count));
    return cells;
}

} // namespace friendlinks
