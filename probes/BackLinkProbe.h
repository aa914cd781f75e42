#pragma once

#include <QString>

#include <functional>

namespace friendlinks {

inline const QString kAnchorPattern = QStringLiteral("<a.*?href=.*?>.*?</a>");
inline const QString kAnchorTextPattern = QStringLiteral(">.*?</a>");
inline const QString kImageLink = QStringLiteral("图片链接");
inline const QString kNoBackLink = QStringLiteral("..");

// The back-link report for a fetched page: "0\r\n.." when no anchor contains
// needle; "1\r\n" + marker when page is exactly a fetch marker; else "1\r\n"
// followed by "图片链接" or the first such anchor's text cut to 8 characters.
[[nodiscard]] QString backLinkReport(const QString &page, const QString &needle);

// The same report together with the anchor that decided it, as the anchor
// pattern found it; the anchor is empty when no anchor decided.
struct BackLinkScan {
    QString report;
    QString anchor;
};
[[nodiscard]] BackLinkScan scanBackLinks(const QString &page, const QString &needle);

// The same scan with another rule for the anchor that links back; the markers,
// the image rule and the 8-character cut stay as they are.
[[nodiscard]] BackLinkScan scanBackLinksWhere(const QString &page,
                                              const std::function<bool(const QString &anchor)> &linksBack);

} // namespace friendlinks
