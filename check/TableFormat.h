#pragma once

#include "check/ResultTable.h"

#include <QByteArray>

namespace friendlinks {

// The aligned table for people: the site column first when the table has
// one, the six, then its fact columns. colour adds ANSI red to red cells, the
// only escape sequence the table writes: control and bidirectional characters
// of a cell are shown as escapes (escapeForDisplay). The summary line counts
// rows and red cells of the six columns and shows elapsedMs.
[[nodiscard]] QByteArray formatTable(const ResultTable &table, bool colour, qint64 elapsedMs);

} // namespace friendlinks
