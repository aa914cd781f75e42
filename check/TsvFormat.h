#pragma once

#include "check/ResultTable.h"

#include <QByteArray>
#include <QString>

namespace friendlinks {

// tsv: the site column first when the table has one, the six, "标红" (the
// keys of the red cells), then the table's fact columns; a header line unless
// the table is a later piece of a streamed output.
[[nodiscard]] QByteArray formatTsv(const ResultTable &table);

// One text as a TSV field: backslash, tab, CR and LF written as \\ \t \r \n,
// other control and bidirectional characters as \x1b or \u202e.
[[nodiscard]] QString tsvField(const QString &text);

} // namespace friendlinks
