#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QUrl>

#include <optional>

namespace friendlinks {

// How close a jump address is to the friend's own site.
enum class JumpHost {
    SameHost, // the friend's host itself (letter case and a final dot aside)
    SameSite, // another host of the same registrable domain ("go.friend.com" for "www.friend.com")
};

// An anchor that goes through a redirect script of the friend's site to ours:
// the link counts for the friend's script, not for our site.
struct JumpLink {
    JumpHost on = JumpHost::SameHost;
    QString parameter; // the query parameter that holds our address ("url"); empty for a bare "?http://me.com/"
    QString target;    // our address as the parameter holds it, decoded ("http://www.me.com/")
};

// A jump link is an anchor whose resolved address is on the friend's host (or
// its registrable domain) and carries our site's address in its query: any
// parameter, or the whole query; its value percent-decoded up to three times
// (an address encoded twice or three times over), or read as base64; with or
// without a scheme ("www.me.com", "//me.com/"); the host compared in lower
// case with a leading "www." left out on both sides. An anchor straight to our
// site, or to a third site, is no jump link. Nothing when it is not one.
[[nodiscard]] std::optional<JumpLink> jumpLink(const QUrl &anchor, const QString &friendHost, const QUrl &ourSite);

// True when an anchor's text or title names our site: holds its host (with or
// without "www.", any letter case, in ASCII or Unicode form, not as a part of a
// longer host: "ame.com" and "me.com.cn" are not "me.com"), or one of
// siteNames (the site's own names, its title or keyword, letter case aside;
// names shorter than two characters are passed over). Picks the anchors worth
// one request to see whether they answer a redirect to our site.
[[nodiscard]] bool anchorNamesSite(QStringView text, QStringView title, const QUrl &ourSite,
                                   const QStringList &siteNames = {});

} // namespace friendlinks
