#include "check/Harvest.h"

#include "probes/BackLinkProbe.h"
#include "probes/DomainRules.h"
#include "web/PatternMatcher.h"
#include "web/TextCuts.h"

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

} // namespace

QList<HarvestedLink> harvestLinks(const QString &page, const QString &site)
{
    // An "https://" site is the same site as its "http://" form.
    const QString ownSite = asHttpSite(site);
    QList<HarvestedLink> links;

    const QStringList anchors = splitLines(TestRegExp(kAnchorPattern, page));
    for (const QString &anchor : anchors) {
        const QString link = firstLine(TestRegExp(kAddressPattern, anchor));
        if (IsOutboundLink(link, ownSite) == 0)
            continue;
        if (link.size() > kMaxLinkLength)
            continue;
        const bool imageLink = anchor.contains(kImageMarker, Qt::CaseSensitive);
        if (IsHomePageLink(link) != 1)
            continue;

        QString text = TestRegExp(kAnchorTextPattern, anchor);
        text.remove(kClosingTag, Qt::CaseSensitive);
        text.remove(QLatin1Char('>'), Qt::CaseSensitive);
        if (hasFooterWord(text))
            continue;

        links.append({link, imageLink ? kImageLink : cutText(text, kMaxNameLength)});
    }
    return links;
}

} // namespace friendlinks
