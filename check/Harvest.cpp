#include "check/Harvest.h"

#include "probes/BackLinkProbe.h"
#include "probes/DomainRules.h"
#include "probes/PageAnchors.h"
#include "web/PageFetcher.h"
#include "web/PatternMatcher.h"
#include "web/TextCuts.h"

#include <optional>

namespace friendlinks {
namespace {

const QString kImageMarker = QStringLiteral("img");
const QString kClosingTag = QStringLiteral("</a>");
const QString kHttpsScheme = QStringLiteral("https://");
const QStringList kFooterWords = {QStringLiteral("ICP"), QStringLiteral("Discuz!"), QStringLiteral("Comsenz Inc.")};

bool hasFooterWord(const QString &text)
{
    for (const QString &word : kFooterWords) {
        if (text.contains(word, Qt::CaseSensitive))
            return true;
    }
    return false;
}

// The friend link an anchor gives, if any. The rules judge an https address
// as its http form; the 50 characters count the address as found.
std::optional<HarvestedLink> friendLink(const QString &anchor, const QString &ownSite, LinkMode mode)
{
    const QString link = firstLine(TestRegExp(mode == LinkMode::Modern ? kModernAddressPattern : kAddressPattern, anchor));
    const QString judged = mode == LinkMode::Modern ? asHttpSite(link) : link;
    if (IsOutboundLink(judged, ownSite) == 0)
        return std::nullopt;
    if (link.size() > kMaxLinkLength)
        return std::nullopt;
    const bool imageLink = anchor.contains(kImageMarker, Qt::CaseSensitive);
    if (IsHomePageLink(judged) != 1)
        return std::nullopt;

    QString text = TestRegExp(kAnchorTextPattern, anchor);
    text.remove(kClosingTag, Qt::CaseSensitive);
    text.remove(QLatin1Char('>'), Qt::CaseSensitive);
    if (hasFooterWord(text))
        return std::nullopt;
    return HarvestedLink{link, imageLink ? kImageLink : cutText(text, kMaxNameLength)};
}

// True when the modern harvest lists this anchor with an https address.
bool modernListsHttps(const QString &anchor, const QString &ownSite)
{
    if (!anchor.contains(kHttpsScheme, Qt::CaseInsensitive))
        return false; // the cheap test first: most anchors hold no https address
    const auto link = friendLink(anchor, ownSite, LinkMode::Modern);
    return link && link->lianjie.startsWith(kHttpsScheme, Qt::CaseInsensitive);
}

// Modern: the anchors as a browser reads them, judged by the same home-page rules.
Harvest modernHarvest(const QString &page, const QString &site, const QString &pageAddress, int maxLinks)
{
    // Host names know no letter case: "WWW.ME.COM" is www.me.com.
    const QString ownSite = asHttpSite(site).toLower();
    Harvest found;
    for (const PageAnchor &anchor :
         readPageAnchors(page, pageAddress.isEmpty() ? PageFetcher::withScheme(site.trimmed()) : pageAddress)) {
        const QString &link = anchor.address;
        const QString judged = asHttpSite(link);
        if (link.isEmpty() || IsOutboundLink(judged, ownSite) == 0 || link.size() > kMaxLinkLength
            || IsHomePageLink(judged) != 1 || hasFooterWord(anchor.text))
            continue;
        if (found.links.size() >= maxLinks) {
            ++found.beyondLimit;
            continue;
        }
        found.links.append(HarvestedLink{link, keptText(anchor.text)});
        found.ourLinks.append(BackLinkFacts{anchor.href, anchor.rel, anchor.follow});
    }
    return found;
}

} // namespace

Harvest harvest(const QString &page, const QString &site, LinkMode mode, const QString &pageAddress, int maxLinks)
{
    if (mode == LinkMode::Modern)
        return modernHarvest(page, site, pageAddress, maxLinks);
    // An "https://" site is the same site as its "http://" form.
    const QString ownSite = asHttpSite(site);
    Harvest found;
    const auto take = [&](const QString &anchor) {
        if (auto link = friendLink(anchor, ownSite, mode)) {
            if (found.links.size() < maxLinks) {
                found.links.append(std::move(*link));
                found.ourLinks.append(backLinkFacts(anchor));
            } else {
                ++found.beyondLimit;
            }
        } else if (mode == LinkMode::Classic && modernListsHttps(anchor, ownSite)) {
            ++found.unlistedHttps;
        }
        return true;
    };
    // The anchors one at a time (a list of them would copy the page), then the
    // piece a split match list ends with: empty, or the no-match text.
    const bool anyAnchor = forEachMatch(kAnchorPattern, page, take) > 0;
    take(anyAnchor ? QString() : kMatchFailed);
    return found;
}

QList<HarvestedLink> harvestLinks(const QString &page, const QString &site)
{
    return harvest(page, site, LinkMode::Classic).links;
}

} // namespace friendlinks
