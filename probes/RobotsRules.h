#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace friendlinks {

// A robots.txt is read up to this many characters (the rest is left unread, as
// crawlers do); the fetch asks for no more than this.
inline constexpr qsizetype kRobotsMaxChars = 500 * 1024;
// Redirects a robots.txt fetch follows before it counts as missing.
inline constexpr int kRobotsMaxRedirects = 5;
// Baidu's spider names itself with this product token.
inline constexpr QStringView kBaiduSpiderToken = u"Baiduspider";

// What a robots.txt says about one path for one crawler.
struct RobotsVerdict {
    bool allowed = true;
    // The rule that decided, in one form whatever the file's spelling
    // ("Disallow: /", "Allow: /links.html"); empty when no rule applies.
    QString rule;
};

// Reads robotsText as crawlers do (RFC 9309) and says whether the crawler named
// userAgent (its product token, "Baiduspider"; a longer "Baiduspider/2.0" is cut
// to the token) may fetch path (the address's path and query, "/" when empty).
// - Lines end in CR, LF or CR LF; a byte order mark, comments ("#" to the end
//   of the line), unknown lines and lines before the first user-agent line are
//   passed over; "Disallow /" without its colon is read as "Disallow: /".
// - Consecutive user-agent lines open one group; the groups whose token equals
//   the crawler's (letter case aside) are merged, and only when there is none
//   the "*" groups are; with neither, everything is allowed.
// - Of the Allow and Disallow rules that match, the longest pattern wins, an
//   Allow a tie. "*" matches any run of characters, "$" at the end anchors the
//   pattern at the end of the path. A pattern that starts with neither "/" nor
//   "*" is read with a "/" before it. An empty Disallow allows everything.
// - Percent-encoding is made one spelling on both sides before comparing:
//   upper-case hex digits, unreserved characters (letters, digits, "-._~")
//   decoded, other characters beyond ASCII encoded as UTF-8. Reserved
//   characters keep their spelling: "%2F" is not "/".
// - "/robots.txt" itself is always allowed.
[[nodiscard]] RobotsVerdict robotsVerdict(QStringView robotsText, QStringView userAgent, QStringView path);

// What the answer to a robots.txt request means, by its HTTP status (after at
// most kRobotsMaxRedirects redirects): 2xx: the rules in its body apply; 4xx
// (and a 3xx left after the redirects): there is no robots.txt, everything is
// allowed; 5xx, another status, or no answer at all (status 0): unknown, which
// is not "disallowed".
enum class RobotsAvailability { Rules, AllowAll, Unknown };
[[nodiscard]] RobotsAvailability robotsAvailability(int httpStatus);

// The two put together: allowed true or false, or no value when unknown.
struct RobotsAnswer {
    std::optional<bool> allowed;
    QString rule; // as in RobotsVerdict; empty unless the body's rules decided
};
[[nodiscard]] RobotsAnswer robotsAnswer(int httpStatus, QStringView robotsText, QStringView userAgent,
                                        QStringView path);

// Exposed for tests: the one spelling that patterns and paths are compared in.
[[nodiscard]] QString normalisedRobotsPath(QStringView text);

} // namespace friendlinks
