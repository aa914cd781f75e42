#pragma once

#include <QString>
#include <QStringView>

namespace friendlinks {

// A script's text is read up to this many characters (a same-site file is fetched no further).
inline constexpr qsizetype kScriptMaxChars = 512 * 1024;

// The first address in a script's text (its first kScriptMaxChars characters)
// that leads to siteHost (as siteHost() names hosts): in markup the script
// writes (document.write('<a href="http://me.com/">')) or anywhere else in its
// text (a string, an object's href: '//me.com/'), JavaScript's escapes read
// ("http:\/\/", "\x3ca", "\u002f"). Whole addresses only, with a scheme or
// "//": one the script would join from parts is not found, nor a relative
// href, which leads to the script's own site. "//" resolves against
// baseAddress's scheme. Empty when none.
[[nodiscard]] QString scriptLinkTo(QStringView script, const QString &baseAddress, const QString &siteHost);

// The text with JavaScript's string escapes read: "\/" is "/", "\x3c" and
// "\u003c" and "\u{3c}" are "<", "\'" is "'", a backslash before anything else
// is dropped; an escape that is cut off stays as written.
[[nodiscard]] QString withScriptEscapesRead(QStringView text);

} // namespace friendlinks
