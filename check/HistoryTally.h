#pragma once

#include "check/HistoryRecord.h"
#include "check/JsonRead.h"

#include <QList>
#include <QString>

#include <variant>

namespace friendlinks {

// What the history keeps beside a check so that its lists read no row: the
// check's tally and each row's few typed values, worked out from the check's
// rows (and the site's check before it, for what changed). Pure: records in,
// tallies out; the store calls it when it records and when it migrates.

struct RecordTally {
    CheckTally check;
    QList<RowTally> rows; // in the check's order
};

// A recorded check's outcome and rows read back, or what is wrong with them.
[[nodiscard]] std::variant<SiteRows, QString> readRecord(const CheckRecord &record);

// The tally of `check`; its changes counted against `previous` (none: the site's first check).
[[nodiscard]] RecordTally tallyOf(const SiteRows &check, const SiteRows *previous);

// Whether a change (a kChange… code) mends what an earlier change broke.
[[nodiscard]] bool isMend(const QString &change);

} // namespace friendlinks
