#include "check/Harvest.h"

#include "probes/BackLinkProbe.h"
#include "probes/DomainRules.h"
#include "probes/ModernLinkRules.h"
#include "probes/PageAnchors.h"
#include "probes/SiteDomain.h"
#include "web/PageFetcher.h"
#include "web/PatternMatcher.h"
#include "web/TextCuts.h"

#include <QSet>
#include <QUrl>

#include <algorithm>
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

// The sites the checked site is: the one entered and the one its page came from.
struct OwnSite {
    QString classic; // the entered text, an "https://" form read as "http://"
    QString address; // the address the page was read from (the site when not known)
    QStringList domains;
};

OwnSite ownSite(const QString &site, const QString &pageAddress)
{
    const QString entered = PageFetcher::withScheme(site.trimmed());
    OwnSite own{asHttpSite(site), pageAddress.isEmpty() ? entered : pageAddress, {}};
    for (const QString &address : {entered, own.address}) {
        if (const QString domain = registrableDomain(QUrl(address).host()); !domain.isEmpty())
            own.domains << domain;
    }
    return own;
}

// Why a modern check would not list this resolved address with this text;
// none when it would.
std::optional<SkipReason> modernSkip(const QString &address, const QString &text, const OwnSite &own)
{
    if (address.isEmpty())
        return SkipReason::NotHttp;
    if (address.size() > kMaxModernLinkLength)
        return SkipReason::TooLong;
    const QUrl url(address);
    const QString host = url.host();
    if (own.domains.contains(registrableDomain(host)))
        return SkipReason::SameSite;
    if (!isHomePagePath(url.path(QUrl::FullyEncoded)))
        return SkipReason::InnerPage;
    if (hasFooterWord(text) || isRegistrationLink(host, text))
        return SkipReason::FooterWord;
    return std::nullopt;
}

// Which part of the original home-page rule a link failed: its host prefix
// (the same "http://bbs.", "http://www.", "http://blog." the rule's patterns
// start with), what follows the host, or else the name ending.
SkipReason classicHomePageSkip(const QString &link)
{
    static const QStringList prefixes = kRemovalPrefixes.split(QLatin1Char(','));
    const auto prefix = std::find_if(prefixes.begin(), prefixes.end(),
                                     [&link](const QString &p) { return link.startsWith(p); });
    if (prefix == prefixes.end())
        return SkipReason::HostPrefix;
    const qsizetype pathAt = link.indexOf(QLatin1Char('/'), prefix->size());
    if (pathAt >= 0 && pathAt + 1 < link.size())
        return SkipReason::IndexPage;
    return SkipReason::NameEnding;
}

// The friend link an anchor gives by the original rules, if any; else the
// first rule that left it out. The rules judge an https site as its http
// form; the 50 characters count the address as found.
std::optional<HarvestedLink> classicFriendLink(const QString &anchor, const QString &text, const QString &ownSite,
                                               SkipReason &skip)
{
    const QString link = firstLine(TestRegExp(kAddressPattern, anchor));
    if (link.isEmpty() || link == kMatchFailed) { // no rule passes either
        skip = SkipReason::NotHttp;
        return std::nullopt;
    }
    if (IsOutboundLink(link, ownSite) == 0) {
        skip = SkipReason::ContainsSiteName;
        return std::nullopt;
    }
    if (link.size() > kMaxLinkLength) {
        skip = SkipReason::TooLong;
        return std::nullopt;
    }
    const bool imageLink = anchor.contains(kImageMarker, Qt::CaseSensitive);
    if (IsHomePageLink(link) != 1) {
        skip = classicHomePageSkip(link);
        return std::nullopt;
    }
    if (hasFooterWord(text)) {
        skip = SkipReason::FooterWord;
        return std::nullopt;
    }
    return HarvestedLink{link, imageLink ? kImageLink : cutText(text, kMaxNameLength)};
}

QString classicAnchorText(const QString &anchor)
{
    QString text = TestRegExp(kAnchorTextPattern, anchor);
    text.remove(kClosingTag, Qt::CaseSensitive);
    text.remove(QLatin1Char('>'), Qt::CaseSensitive);
    return text;
}

// Why a classic check left out an anchor: what a modern check says of it when
// it too would leave it out, else the original rule that did. A friend link
// the classic address pattern cannot read is https, or a name it cannot read.
SkipReason classicSkip(const QString &anchor, const QString &text, SkipReason classicRule, const OwnSite &own)
{
    const QString address = resolveLinkAddress(own.address, backLinkFacts(anchor).href);
    if (const auto modern = modernSkip(address, text, own))
        return *modern;
    if (classicRule == SkipReason::NotHttp)
        return address.startsWith(kHttpsScheme, Qt::CaseInsensitive) ? SkipReason::Https : SkipReason::NameEnding;
    return classicRule;
}

// Modern: the anchors as a browser reads them, one row per friend's home page.
Harvest modernHarvest(const QString &page, const QString &site, const QString &pageAddress, int maxLinks)
{
    const OwnSite own = ownSite(site, pageAddress);
    Harvest found;
    QSet<QString> listed;
    for (const PageAnchor &anchor : readPageAnchors(page, own.address)) {
        if (const auto skip = modernSkip(anchor.address, anchor.text, own)) {
            found.skipped.add(*skip);
            continue;
        }
        if (listed.contains(anchor.address)) {
            found.skipped.add(SkipReason::Duplicate);
            continue;
        }
        if (found.links.size() >= maxLinks) {
            ++found.beyondLimit;
            continue;
        }
        listed.insert(anchor.address);
        found.links.append(HarvestedLink{anchor.address, keptText(anchor.text)});
        found.ourLinks.append(BackLinkFacts{anchor.href, anchor.rel, anchor.follow});
    }
    return found;
}

} // namespace

Harvest harvest(const QString &page, const QString &site, LinkMode mode, const QString &pageAddress, int maxLinks)
{
    if (mode == LinkMode::Modern)
        return modernHarvest(page, site, pageAddress, maxLinks);
    const OwnSite own = ownSite(site, pageAddress);
    Harvest found;
    bool ending = false;
    const auto take = [&](const QString &anchor) {
        const QString text = classicAnchorText(anchor);
        SkipReason skip = SkipReason::NotHttp;
        if (auto link = classicFriendLink(anchor, text, own.classic, skip)) {
            if (found.links.size() < maxLinks) {
                found.links.append(std::move(*link));
                found.ourLinks.append(backLinkFacts(anchor));
            } else {
                ++found.beyondLimit;
            }
        } else if (!ending) {
            found.skipped.add(classicSkip(anchor, text, skip, own));
        }
        return true;
    };
    // The anchors one at a time (a list of them would copy the page), then the
    // piece a split match list ends with: empty, or the no-match text; that
    // piece is no anchor of the page and is not counted.
    const bool anyAnchor = forEachMatch(kAnchorPattern, page, take) > 0;
    ending = true;
    take(anyAnchor ? QString() : kMatchFailed);
    return found;
}

QList<HarvestedLink> harvestLinks(const QString &page, const QString &site)
{
    return harvest(page, site, LinkMode::Classic).links;
}

} // namespace friendlinks
