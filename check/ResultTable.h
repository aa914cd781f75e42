#pragma once

#include "check/ResultsModel.h"
#include "check/RowFacts.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace friendlinks {

// A column of a front end's own that a flat table (tsv, csv) writes among the
// fact columns: the window's "变化" where its list shows it.
struct AddedColumn {
    QString header;
    QStringList cells;        // row by row; a row past the end has an empty cell
    qsizetype afterFacts = 0; // how many of the table's fact columns come before it
    bool operator==(const AddedColumn &) const = default;
};

// The rows that a table-shaped output (tsv, the aligned table, csv) writes,
// read from the results, with the columns it writes beyond the six and "标红".
struct ResultTable {
    QList<ResultRow> rows;
    QList<FactColumn> factColumns; // after "标红", in this order
    bool siteColumn = false;       // a first column "站点" (a batch of sites)
    QStringList siteOfRow;         // with siteColumn: the site of each row
    bool header = true;            // tsv and csv: the header line (and csv's byte-order mark); false
                                   // for the later pieces of an output written piece by piece
    std::optional<AddedColumn> added; // tsv and csv: a column among the fact columns
};

// Every fact column, in order.
[[nodiscard]] QList<FactColumn> allFactColumns();
// The rows of one check, no site column.
[[nodiscard]] ResultTable resultTable(const ResultsModel &results, const QList<FactColumn> &factColumns = {});
// The rows of several checks in turn, each with its site as checked.
[[nodiscard]] ResultTable batchTable(const QList<const ResultsModel *> &results,
                                     const QList<FactColumn> &factColumns = {});
// Bare rows with no facts, no site column.
[[nodiscard]] ResultTable cellsTable(const QList<CheckRow> &rows);

inline const QString kSiteHeader = QStringLiteral("站点");

// The columns of a flat table (tsv, csv) in order: "站点" with a site column,
// the six, "标红" (the red columns' keys), then the table's fact columns, its
// added column among them.
[[nodiscard]] QStringList flatHeader(const ResultTable &table);
// Row i's fields in that order: the site through site, every cell through cell.
[[nodiscard]] QStringList flatFields(const ResultTable &table, qsizetype i, QString (*site)(const QString &),
                                     QString (*cell)(const QString &));

} // namespace friendlinks
