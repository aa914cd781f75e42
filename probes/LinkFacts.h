#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace friendlinks {

// The anchor that decided the back-link cell, as a webmaster weighs it.
struct BackLinkFacts {
    QString href;    // the href value as written, quotes removed
    QStringList rel; // the rel tokens, lower case, in order
    bool follow = true; // false when rel holds nofollow, sponsored or ugc
    QString url = {};   // modern mode: the address href resolves to, as a browser reads it; empty when unknown
    QString via = {};   // a jump link: the friend's redirect address it goes through (url is then ours); else empty
    QString where = {}; // modern mode: "page", "script" or "frame", where it was found; empty when unknown
    QString hiddenBy = {}; // modern mode: what of the page's style hides it ("display:none (div.flink)"); empty: nothing
    bool operator==(const BackLinkFacts &) const = default;
};

// What a friend's page says about its links as a whole.
struct PageLinkFacts {
    bool nofollow = false; // meta robots/baiduspider or X-Robots-Tag: nofollow or none
    int outbound = 0;      // anchors pointing at another site, repeats included
    bool operator==(const PageLinkFacts &) const = default;
};

// Reads the first tag of anchorMarkup (an anchor as the anchor pattern found it).
[[nodiscard]] BackLinkFacts backLinkFacts(QStringView anchorMarkup);

// Reads a friend's page and its response headers in one pass. ownAddresses are
// the friend's own addresses (the one asked for and the one the page came
// from); an anchor counts as outbound when its site host differs from all of them.
[[nodiscard]] PageLinkFacts pageLinkFacts(QStringView page, const QList<QPair<QByteArray, QByteArray>> &headers,
                                          const QStringList &ownAddresses);

// True when one X-Robots-Tag value tells all agents, or baiduspider, not to
// follow links ("nofollow" or "none"); "otherbot: nofollow" binds only otherbot.
[[nodiscard]] bool robotsTagForbidsFollow(QStringView value);

// The host of an absolute http or https address, lower case, without a
// leading "www." (and without user, port or brackets); empty for anything else.
[[nodiscard]] QString siteHost(QStringView address);

} // namespace friendlinks
