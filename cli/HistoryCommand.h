#pragma once

#include "check/HistoryListing.h"
#include "cli/Arguments.h"

#include <QDateTime>
#include <QIODevice>
#include <QTimeZone>

namespace friendlinks {

// Exit statuses of `friendlinks history`: 0 done (also when nothing is
// recorded), 2 usage error, kExitOutputFailed (4) when the history cannot be
// read or out took not all of the answer.

// When a history command runs: now (UTC, what --prune counts back from) and
// the time zone its times are shown in.
struct HistoryClock {
    QDateTime now;
    QTimeZone zone;
};

// `friendlinks history SITE [--format F]` or `history --prune DAYS` as parsed,
// on the history choice names (its file is not made when missing: nothing
// is recorded there). Answers on out, troubles on err.
[[nodiscard]] int runHistory(const HistoryQuery &query, const HistoryChoice &choice, QIODevice *out, QIODevice *err,
                             const HistoryClock &clock);

// The answer's text in the format asked for: the checks newest first, times in zone.
[[nodiscard]] QByteArray formatRecordedChecks(const QString &site, const QList<RecordedCheck> &checks,
                                              HistoryQuery::Format format, const QTimeZone &zone);

} // namespace friendlinks
