#pragma once

#include "check/Columns.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace friendlinks {

// The stable output contract of `friendlinks check`.
// mode is the check's mode name, "classic" or "modern".
[[nodiscard]] QByteArray formatJson(const QString &site, const QList<CheckRow> &rows,
                                    const QString &mode = QStringLiteral("classic"));
[[nodiscard]] QByteArray formatTsv(const QList<CheckRow> &rows);
// Aligned for people; colour adds ANSI red to red cells. The summary line counts
// rows and red cells and shows elapsedMs.
[[nodiscard]] QByteArray formatTable(const QList<CheckRow> &rows, bool colour, qint64 elapsedMs);

// Display width of text in terminal columns (CJK and full-width characters take two).
[[nodiscard]] int displayWidth(const QString &text);

} // namespace friendlinks
