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

// Reads anchors (a friend's page read from friendAddress) for jump links to ourSite.
[[nodiscard]] JumpScan scanJumpAnchors(const QList<PageAnchor> &anchors, const QString &friendAddress,
                                       const QUrl &ourSite, int maxRequests = kMaxJumpRequests);

// Where a jump anchor's own answer sends us, when it is a redirect (3xx) to
// ourSite's host (with or without "www.", either scheme); else nothing.
// location is the redirect's target as resolved against the anchor.
[[nodiscard]] std::optional<QString> redirectToSite(int status, const QString &location, const QUrl &ourSite);

} // namespace friendlinks
