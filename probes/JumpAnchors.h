#pragma once

#include "probes/JumpLink.h"
#include "probes/PageAnchor.h"

#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

namespace friendlinks {

// Anchors of a redirect script asked at most per page: one request each.
inline constexpr int kMaxJumpRequests = 2;

// A jump link found on a friend's page: the anchor and where it leads.
struct FoundJump {
    PageAnchor anchor; // its address is the jump address
    QString target;    // our address the jump carries or answers
};

// What a friend's page without a direct link back holds of jump links.
struct JumpScan {
    std::optional<FoundJump> byQuery; // the first anchor carrying our address in its query
    // Without one: anchors on the friend's own host whose text or title names
    // our site, in page order, at most maxRequests: each may answer a redirect to us.
    QList<PageAnchor> toAsk;
};

// Reads a friend's page (read from friendAddress) for jump links to ourSite,
// one anchor at a time as the page is read, keeping only what it found.
class JumpAnchorScanner {
public:
    JumpAnchorScanner(const QString &friendAddress, QUrl ourSite, int maxRequests = kMaxJumpRequests);
    void add(const PageAnchor &anchor);
    // True once an anchor carries our address: later anchors change nothing.
    [[nodiscard]] bool done() const { return m_scan.byQuery.has_value(); }
    [[nodiscard]] JumpScan take() { return std::move(m_scan); }

private:
    QString m_friendHost;
    QString m_friendSite;
    QUrl m_ourSite;
    int m_maxRequests;
    JumpScan m_scan;
};

// The same over anchors already read.
[[nodiscard]] JumpScan scanJumpAnchors(const QList<PageAnchor> &anchors, const QString &friendAddress,
                                       const QUrl &ourSite, int maxRequests = kMaxJumpRequests);

// Where a jump anchor's own answer sends us, when it is a redirect (3xx) to
// ourSite's host (with or without "www.", either scheme); else nothing.
// location is the redirect's target as resolved against the anchor.
[[nodiscard]] std::optional<QString> redirectToSite(int status, const QString &location, const QUrl &ourSite);

} // namespace friendlinks
