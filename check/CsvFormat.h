#pragma once

#include "check/Columns.h"
#include "check/RowFacts.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace friendlinks {

// CSV for spreadsheets (RFC 4180): UTF-8 with a byte-order mark, so Chinese
// opens right; CR LF line ends; fields quoted where needed. The six headers
// and "标红"; cells as the window shows them, a trailing line break dropped.
// With siteOfRow (one site per row) a first column "站点" comes first; with
// facts (one per row) the fact columns follow "标红", as in tsv. A cell that a
// spreadsheet would take for a formula starts with an apostrophe (formulaSafe).
[[nodiscard]] QByteArray formatCsv(const QList<CheckRow> &rows, const QStringList &siteOfRow = {},
                                   const QList<RowFacts> *facts = nullptr);

// One CSV field, quoted when it holds a comma, a quote or a line break.
[[nodiscard]] QString csvField(const QString &text);
// A cell's text as the list shows it: one trailing line break dropped.
[[nodiscard]] QString cellDisplayText(const QString &text);

} // namespace friendlinks
