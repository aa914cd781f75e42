#pragma once

#include "check/ResultTable.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace friendlinks {

// CSV for spreadsheets (RFC 4180): UTF-8 with a byte-order mark, so Chinese
// opens right; CR LF line ends; fields quoted where needed. The site column
// "站点" when the table has one, the six headers and "标红", then the table's
// fact columns; cells as the window shows them, a trailing line break
// dropped. A cell that a spreadsheet would take for a formula starts with an
// apostrophe (formulaSafe).
[[nodiscard]] QByteArray formatCsv(const ResultTable &table);

// One CSV record: each field escaped and made formula-safe as formatCsv's
// cells, CR LF after it.
[[nodiscard]] QString csvRecord(const QStringList &fields);

// What a CSV file begins with, so spreadsheets read it as UTF-8.
inline constexpr char kCsvByteOrderMark[] = "\xEF\xBB\xBF";

// One CSV field, quoted when it holds a comma, a quote or a line break.
[[nodiscard]] QString csvField(const QString &text);

} // namespace friendlinks
