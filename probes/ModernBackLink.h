#pragma once

#include "probes/PageAnchors.h"

#include <QString>

#include <optional>

namespace friendlinks {

// The checked site's host as today's back-link rule compares it: the entered
// site with or without "http://" or "https://", lower case, without port,
// path and a leading "www.". Empty when the text names no host.
[[nodiscard]] QString comparableSiteHost(const QString &enteredSite);

// What modern mode reads of a friend's page about the link back.
struct ModernBackLinkScan {
    std::optional<PageAnchor> anchor; // the anchor that decides; none when no link leads back
    bool passes = false;              // it is followed and shown, and the page lets engines follow it
};

// The links of page (read from pageAddress) that lead to siteHost in either
// scheme: "https://MySite.com/x" leads back to "mysite.com", "https://notmysite.com/"
// and "https://blog.mysite.com/" do not. The first that passes something decides,
// else the first at all. pageNofollow: the page's robots meta or header says nofollow.
[[nodiscard]] ModernBackLinkScan scanModernBackLinks(QStringView page, const QString &pageAddress,
                                                     const QString &siteHost, bool pageNofollow);

} // namespace friendlinks
