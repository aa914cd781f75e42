#pragma once

#include "check/Columns.h"
#include "probes/BaiduProbe.h"

#include <QString>

#include <optional>

namespace friendlinks {

inline const QString kNoLink = QStringLiteral("没有链接");
inline const QString kImageConnection = QStringLiteral("图片连接");

// The text the back-link probe looks for: spaces trimmed at both ends, one
// trailing "/" dropped, every "http://" removed ("https://" read as "http://").
[[nodiscard]] QString normalisedSiteText(const QString &enteredSite);

// The fanlian cell for a back-link result ("flag\r\ntext").
[[nodiscard]] Cell fanlianCell(const QString &backLinkResult);

// The three Baidu cells of one row: shoulu, kuaizhao, rp. A failed probe gives
// three empty cells in the default colour; rp is red exactly when not first.
struct BaiduCells {
    Cell shoulu, kuaizhao, rp;
};
[[nodiscard]] BaiduCells baiduCells(const std::optional<BaiduResult> &result);

} // namespace friendlinks
