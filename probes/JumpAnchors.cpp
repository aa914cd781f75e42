#include "probes/JumpAnchors.h"

#include "probes/ModernBackLink.h"

namespace friendlinks {

JumpScan scanJumpAnchors(const QList<PageAnchor> &anchors, const QString &friendAddress, const QUrl &ourSite,
                         int maxRequests)
{
    JumpScan scan;
    const QString friendHost = QUrl(friendAddress).host();
    const QString friendSite = comparableSiteHost(friendAddress);
    for (const PageAnchor &anchor : anchors) {
        if (anchor.address.isEmpty())
            continue;
        const QUrl address(anchor.address);
        if (const std::optional<JumpLink> jump = jumpLink(address, friendHost, ourSite)) {
            scan.byQuery = FoundJump{anchor, jump->target};
            scan.toAsk.clear(); // the query tells: nothing to ask
            return scan;
        }
        if (scan.toAsk.size() < maxRequests && comparableSiteHost(anchor.address) == friendSite
            && anchorNamesSite(anchor.text, anchor.title, ourSite))
            scan.toAsk << anchor;
    }
    return scan;
}

std::optional<QString> redirectToSite(int status, const QString &location, const QUrl &ourSite)
{
    if (status < 300 || status >= 400 || location.isEmpty())
        return std::nullopt;
    const QUrl target(location);
    if (target.scheme() != QLatin1String("http") && target.scheme() != QLatin1String("https"))
        return std::nullopt;
    const QString ours = comparableSiteHost(ourSite.toString());
    if (ours.isEmpty() || comparableSiteHost(location) != ours)
        return std::nullopt;
    return location;
}

} // namespace friendlinks
