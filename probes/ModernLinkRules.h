#pragma once

#include <QString>
#include <QStringView>

namespace friendlinks {

// A whole address is read up to this length; past it a link is no friend link.
inline constexpr qsizetype kMaxModernLinkLength = 2048;

// True for a site's home page: the root (or no path), or a root index file
// ("/index.html", "/default.aspx" … in any letter case). A query string or a
// fragment does not matter; the path is taken as the address holds it.
[[nodiscard]] bool isHomePagePath(QStringView path);

// True for the public registration links of Chinese sites: a host under
// miit.gov.cn or beian.gov.cn, or a text holding "备案" or "公网安备".
[[nodiscard]] bool isRegistrationLink(const QString &host, const QString &text);

} // namespace friendlinks
