#pragma once

#include "check/Columns.h"
#include "check/RowValues.h"
#include "probes/BackLinkProbe.h"
#include "probes/BaiduProbe.h"
#include "web/FetchResult.h"

#include <QString>

#include <optional>

namespace friendlinks {

inline const QString kNoLink = QStringLiteral("没有链接");
inline const QString kImageConnection = QStringLiteral("图片连接");
// The classic cell texts of a friend's page that was not read.
inline const QString kTooSlow = QStringLiteral("访问太慢");   // no answer within the limit
inline const QString kEmptyBody = QStringLiteral("无知错误"); // answered with no body, or not at all

// The text the back-link probe looks for: spaces trimmed at both ends, one
// trailing "/" dropped, every "http://" removed ("https://" read as "http://").
[[nodiscard]] QString normalisedSiteText(const QString &enteredSite);

// The classic marker a fetch stands for: kTooSlow after the time limit,
// kEmptyBody for an answer without a body or a failed connection; none for a
// page (or the checked site's own failure). A page whose whole text is a
// marker reads as that marker, as it always has.
[[nodiscard]] std::optional<QString> classicMarker(const FetchResult &page);

// The classic back-link report of a fetched page and the scan of its text:
// "1\r\n" + marker, "0\r\n.." when no anchor links back, else "1\r\n"
// followed by "图片链接" or the anchor's text.
[[nodiscard]] QString backLinkReport(const FetchResult &page, const BackLinkResult &scan);

// The fanlian cell for a back-link report ("flag\r\ntext").
[[nodiscard]] Cell fanlianCell(const QString &backLinkReport);

// The classic fanlian cell of a fetched page and what it says typed.
struct ClassicBackLink {
    Cell cell;
    BackLinkVerdict verdict = BackLinkVerdict::Unknown;
};
[[nodiscard]] ClassicBackLink classicBackLink(const FetchResult &page, const BackLinkResult &scan);

// The three Baidu cells of one row: shoulu, kuaizhao, rp, and what they say
// typed. A failed probe gives three empty cells in the default colour; rp is
// red exactly when not first.
struct BaiduCells {
    Cell shoulu, kuaizhao, rp;
    RankVerdict rank = RankVerdict::Unknown;  // what rp says
};
[[nodiscard]] BaiduCells baiduCells(const std::optional<BaiduResult> &result);

// The number a text's digits make ("约1,230篇" → 1230); none without a digit or past qint64.
[[nodiscard]] IndexPages digitsNumber(const QString &text);
// A row's index count: today's count phrase when the answer had one, else the
// number the shoulu cell shows. Comparing checks and the history read this.
[[nodiscard]] IndexPages rowIndexPages(const std::optional<QString> &todaysCount, const QString &shoulu);

} // namespace friendlinks
