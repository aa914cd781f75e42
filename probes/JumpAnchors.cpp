#include "probes/JumpAnchors.h"

#include "probes/ModernBackLink.h"

namespace friendlinks {

JumpAnchorScanner::JumpAnchorScanner(const QString &friendAddress, QUrl ourSite, int maxRequests)
    : m_friendHost(QUrl(friendAddress).host()), m_friendSite(comparableSiteHost(friendAddress)),
      m_ourSite(std::move(ourSite)), m_maxRequests(maxRequests)
{
}

void JumpAnchorScanner::add(const PageAnchor &anchor)
{
    if (done() || anchor.address.isEmpty())
        return;
    const QUrl address(anchor.address);
    if (const std::optional<JumpLink> jump = jumpLink(address, m_friendHost, m_ourSite)) {
        m_scan.byQuery = FoundJump{anchor, jump->target};
        m_scan.toAsk.clear(); // the query tells: nothing to ask
        return;
    }
    if (m_scan.toAsk.size() < m_maxRequests && comparableSiteHost(anchor.address) == m_friendSite
        && anchorNamesSite(anchor.text, anchor.title, m_ourSite))
        m_scan.toAsk << anchor;
}

JumpScan scanJumpAnchors(const QList<PageAnchor> &anchors, const QString &friendAddress, const QUrl &ourSite,
                         int maxRequests)
{
    JumpAnchorScanner scanner(friendAddress, ourSite, maxRequests);
    for (const PageAnchor &anchor : anchors) {
        scanner.add(anchor);
        if (scanner.done())
            break;
    }
    return scanner.take();
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
