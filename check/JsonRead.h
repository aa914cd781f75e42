#pragma once

#include "check/ResultsModel.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <variant>

namespace friendlinks {

// One site of a saved check, read back from the json of `friendlinks check`
// into the rows and the outcome that check had, as far as the json holds them
// (not its count of unchecked links, nor its Baidu block or Baidu certificate).
struct SiteRows {
    SiteOutcome outcome;
    QList<ResultRow> rows;
    bool modeSaved = true; // false for a file of a version that wrote no "mode" (read as classic)
};

// The sites of a saved `--format json` output (one site object or
// {"sites": [...]}) or `--format jsonl` output (one site object a line), or
// why the text is not one. formatSiteJson of each site gives the text back.
// The typed values behind the cells are those the check that wrote the rows
// had (RowSchema's readValue); files of older versions (no "red", no facts,
// texts only) read through one path that takes from the texts what they lack.
[[nodiscard]] std::variant<QList<SiteRows>, QString> readCheckJson(const QByteArray &json);

// One site object (its "rows" may be empty), or why the text is not one.
[[nodiscard]] std::variant<SiteRows, QString> readSiteJson(const QByteArray &json);
// One row object as formatRowJson writes it, read as a check of that mode
// wrote it, or why the text is not one.
[[nodiscard]] std::variant<ResultRow, QString> readRowJson(const QByteArray &json, bool modern);

} // namespace friendlinks
