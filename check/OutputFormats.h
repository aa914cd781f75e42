#pragma once

#include "check/Columns.h"
#include "check/ResultTable.h"
#include "check/RowFacts.h"
#include "web/FetchResult.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace friendlinks {

// The stable output contract of `friendlinks check`, read from the results.
// json: the site as checked, its mode and its rows; withFetchFacts adds a
// "facts" object to each row and ends with the "home" object (homeJson). A site
// that could not be fetched gives its object with "unreachable": true and no rows.
[[nodiscard]] QByteArray formatJson(const ResultsModel &results, bool withFetchFacts = true);
// {"status", "final_url", "ms", "tls_error"} of the home page's fetch: status 0 when no answer came.
[[nodiscard]] QString homeJson(const FetchResult &home);
// tsv, and the aligned table for people: the table's site column first when it
// has one, the six, "标红" (tsv), then its fact columns. colour adds ANSI red to
// red cells, the only escape sequence the table writes: control and
// bidirectional characters of a cell are shown as escapes (escapeForDisplay).
// The summary line counts rows and red cells of the six columns and shows elapsedMs.
[[nodiscard]] QByteArray formatTsv(const ResultTable &table);
[[nodiscard]] QByteArray formatTable(const ResultTable &table, bool colour, qint64 elapsedMs);

// One text as a JSON string (quotes, escapes, line breaks and line separators escaped).
[[nodiscard]] QString jsonString(const QString &text);
// One text as a TSV field: backslash, tab, CR and LF written as \\ \t \r \n,
// other control and bidirectional characters as \x1b or \u202e.
[[nodiscard]] QString tsvField(const QString &text);

// Display width of text in terminal columns (CJK and full-width characters take two).
[[nodiscard]] int displayWidth(const QString &text);

} // namespace friendlinks
