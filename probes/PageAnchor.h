#pragma once

#include <QString>
#include <QStringList>

namespace friendlinks {

// One link of a page as a browser shows it.
struct PageAnchor {
    QString href;       // the href value as written, quotes removed
    QString address;    // href resolved to an absolute http or https address; empty for anything else
    QStringList rel;    // the rel tokens, lower case, in order
    bool follow = true; // false when rel holds nofollow, sponsored or ugc
    bool hidden = false; // a hidden attribute, or its own style says display:none or visibility:hidden
    QString text;       // the text content, white space collapsed; for an image alone its alt, else "图片链接"
    QString title = {}; // the title attribute, as read
    bool operator==(const PageAnchor &) const = default;
};

} // namespace friendlinks
