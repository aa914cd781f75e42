#pragma once

#include "check/ReportData.h"

#include <QString>

namespace friendlinks {

// A friend's index count through its recent checks as a small inline SVG line
// chart (numbers only besides the escaped address in its title): the line
// breaks where Baidu gave no count; behind it a bar marks each check whose
// link back was missing (red), passed nothing (orange) or could not be read (grey).
[[nodiscard]] QString indexChartSvg(const FriendTrend &trend);

// What the chart's marks mean, as HTML.
[[nodiscard]] QString chartLegendHtml();

} // namespace friendlinks
