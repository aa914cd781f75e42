#include "check/ResultTable.h"

#include "check/RowSchema.h"

namespace friendlinks {

namespace {

// Where a table's added column goes among the fields of a record that end with its fact columns.
qsizetype addedPlace(const ResultTable &table, qsizetype fields)
{
    const qsizetype facts = table.factColumns.size();
    return fields - facts + qBound<qsizetype>(0, table.added->afterFacts, facts);
}

} // namespace

QList<FactColumn> allFactColumns()
{
    QList<FactColumn> all;
    for (const FactColumnInfo &info : factColumns())
        all << info.column;
    return all;
}

QStringList flatHeader(const ResultTable &table)
{
    QStringList header;
    if (table.siteColumn)
        header << kSiteHeader;
    for (const ColumnInfo &info : columns())
        header << info.header;
    header << QStringLiteral("标红");
    for (const FactColumn column : table.factColumns)
        header << factColumns()[size_t(column)].header;
    if (table.added)
        header.insert(addedPlace(table, header.size()), table.added->header);
    return header;
}

QStringList flatFields(const ResultTable &table, qsizetype i, QString (*site)(const QString &),
                       QString (*cell)(const QString &))
{
    const ResultRow &row = table.rows[i];
    QStringList fields;
    if (table.siteColumn)
        fields << site(table.siteOfRow.value(i));
    for (const ColumnInfo &info : columns())
        fields << cell(row.cells[info.column].text);
    fields << redKeys(row.cells).join(QLatin1Char(','));
    for (const FactColumn column : table.factColumns)
        fields << cell(factCell(row.facts, column).text);
    if (table.added)
        fields.insert(addedPlace(table, fields.size()), cell(table.added->cells.value(i)));
    return fields;
}

ResultTable resultTable(const ResultsModel &results, const QList<FactColumn> &factColumns)
{
    return {results.rows(), factColumns, false, {}};
}

ResultTable batchTable(const QList<const ResultsModel *> &results, const QList<FactColumn> &factColumns)
{
    ResultTable table{{}, factColumns, true, {}};
    for (const ResultsModel *site : results) {
        table.rows << site->rows();
        for (qsizetype i = 0; i < site->rows().size(); ++i)
            table.siteOfRow << site->outcome().site;
    }
    return table;
}

ResultTable cellsTable(const QList<CheckRow> &rows)
{
    ResultTable table;
    for (const CheckRow &row : rows)
        table.rows << ResultRow{row, {}};
    return table;
}

} // namespace friendlinks
