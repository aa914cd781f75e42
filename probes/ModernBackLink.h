#pragma once

#include "probes/BackLinkProbe.h"

#include <QString>

namespace friendlinks {

// The checked site's host as today's back-link rule compares it: the entered
// site with or without "http://" or "https://", lower case, without port,
// path and a leading "www.". Empty when the text names no host.
[[nodiscard]] QString comparableSiteHost(const QString &enteredSite);

// True when the anchor's href (of its first tag that has one) is an http or
// https address of that host, taken the same way: "https://MySite.com/"
// links back to "www.mysite.com", "https://notmysite.com/" does not.
[[nodiscard]] bool linksBackToHost(const QString &anchor, const QString &siteHost);

// The back-link scan of modern mode: the first anchor that links back to
// siteHost decides, with the markers, image rule and cut of the classic scan.
[[nodiscard]] BackLinkScan scanModernBackLinks(const QString &page, const QString &siteHost);

} // namespace friendlinks
