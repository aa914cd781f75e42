#pragma once

#include "cli/Arguments.h"

#include <QIODevice>
#include <QTimeZone>

namespace friendlinks {

// Exit statuses of `friendlinks report`: 0 done, 2 usage error, no recorded
// check of the site, or (--friend) no such friend in its latest check;
// kExitOutputFailed (4) when the history cannot be read or out took not all
// of the report.

// `friendlinks report SITE [--friend URL]` as parsed, on the history choice
// names (a missing file is not made): the HTML report of the site's latest
// recorded check on out, or that one partner's notice; troubles on err.
// Check times are shown in zone.
[[nodiscard]] int runReport(const ReportQuery &query, const HistoryChoice &choice, QIODevice *out, QIODevice *err,
                            const QTimeZone &zone);

} // namespace friendlinks
