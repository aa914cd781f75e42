#include "check/Harvest.h"

#include "probes/BackLinkProbe.h"
#include "probes/DomainRules.h"
#include "web/PatternMatcher.h"
#include "web/TextCuts.h"

#include <optional>

namespace friendlinks {
namespace {

const QString kImageMarker = QStringLiteral("img");
const QString kClosingTag = QStringLiteral("</a>");
const QStringList kFooterWords = {QStringLiteral("ICP"), QStringLiteral("Discuz!"), QStringLiteral("Comsenz Inc.")};

bool hasFooterWord(const QString &text)
{
    for (const QString &word : kFooterWords) {
        if (text.contains(word, Qt::CaseSensitive))
            return true;
    }
    return false;
}

// The friend link an anchor gives, if any.
std::optional<HarvestedLink> friendLink(const QString &anchor, const QString &ownSite)
{
    const QString link = firstLine(TestRegExp(kAddressPattern, anchor));
    if (IsOutboundLink(link, ownSite) == 0)
        return std::nullopt;
    if (link.size() > kMaxLinkLength)
        return std::nullopt;
    const bool imageLink = anchor.contains(kImageMarker, Qt::CaseSensitive);
    if (IsHomePageLink(link) != 1)
        return std::nullopt;

    QString text = TestRegExp(kAnchorTextPattern, anchor);
    text.remove(kClosingTag, Qt::CaseSensitive);
    text.remove(QLatin1Char('>'), Qt::CaseSensitive);
    if (hasFooterWord(text))
        return std::nullopt;
    return HarvestedLink{link, imageLink ? kImageLink : cutText(text, kMaxNameLength)};
}

} // namespace

QList<HarvestedLink> harvestLinks(const QString &page, const QString &site)
{
    // An "https://" site is the same site as its "http://" form.
    const QString ownSite = asHttpSite(site);
    QList<HarvestedLink> links;
    const auto take = [&](const QString &anchor) {
        if (auto link = friendLink(anchor, ownSite))
            links.append(std::move(*link));
        return true;
    };
    // The anchors one at a time (a list of them would copy the page), then the
    // piece a split match list ends with: empty, or the no-match text.
    const bool anyAnchor = forEachMatch(kAnchorPattern, page, take) > 0;
    take(anyAnchor ? QString() : kMatchFailed);
    return links;
}

} // namespace friendlinks
