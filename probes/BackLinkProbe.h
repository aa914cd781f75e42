#pragma once

#include <QString>

#include <functional>

namespace friendlinks {

inline const QString kAnchorPattern = QStringLiteral("<a.*?href=.*?>.*?</a>");
inline const QString kAnchorTextPattern = QStringLiteral(">.*?</a>");
inline const QString kImageLink = QStringLiteral("图片链接");

// What the back-link probe read of a page: whether an anchor holding the
// needle was found and, for the first one, what it shows.
struct BackLinkResult {
    bool found = false; // an anchor links back (with no anchor at all, the pattern's failure text may stand in)
    bool image = false; // that anchor holds "img src=" (its text is then "图片链接")
    QString text;       // else its text, tags' brackets dropped, cut to 8 characters (line breaks count)
    QString anchor;     // the anchor as the pattern found it; empty when no anchor decided
    bool operator==(const BackLinkResult &) const = default;
};

// The first anchor of page that contains needle (case-sensitive).
[[nodiscard]] BackLinkResult scanBackLinks(const QString &page, const QString &needle);

// The same scan with another rule for the anchor that links back; the image
// rule and the 8-character cut stay as they are.
[[nodiscard]] BackLinkResult scanBackLinksWhere(const QString &page,
                                                const std::function<bool(const QString &anchor)> &linksBack);

} // namespace friendlinks
