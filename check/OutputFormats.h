#pragma once

#include "check/Columns.h"
#include "check/RowFacts.h"
#include "web/FetchResult.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace friendlinks {

// The stable output contract of `friendlinks check`. mode is the check's mode
// name, "classic" or "modern". Given facts (one per row), json adds a "facts"
// object to each row, tsv and table the fact columns. Given the fetch of the
// site's own home page, json ends with its "home" object (homeJson).
[[nodiscard]] QByteArray formatJson(const QString &site, const QList<CheckRow> &rows,
                                    const QString &mode = QStringLiteral("classic"),
                                    const QList<RowFacts> *facts = nullptr, const FetchResult *home = nullptr);
// {"status", "final_url", "ms", "tls_error"} of the home page's fetch: status 0 when no answer came.
[[nodiscard]] QString homeJson(const FetchResult &home);
[[nodiscard]] QByteArray formatTsv(const QList<CheckRow> &rows, const QList<RowFacts> *facts = nullptr);
// Aligned for people; colour adds ANSI red to red cells, the only escape
// sequence it writes: control and bidirectional characters of a cell are shown
// as escapes (escapeForDisplay). The summary line counts
// rows and red cells of the six columns and shows elapsedMs.
[[nodiscard]] QByteArray formatTable(const QList<CheckRow> &rows, bool colour, qint64 elapsedMs,
                                     const QList<RowFacts> *facts = nullptr);

// One text as a JSON string (quotes, escapes, line breaks and line separators escaped).
[[nodiscard]] QString jsonString(const QString &text);
// One text as a TSV field: backslash, tab, CR and LF written as \\ \t \r \n,
// other control and bidirectional characters as \x1b or \u202e.
[[nodiscard]] QString tsvField(const QString &text);

// Display width of text in terminal columns (CJK and full-width characters take two).
[[nodiscard]] int displayWidth(const QString &text);

} // namespace friendlinks
