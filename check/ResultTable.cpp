#include "check/ResultTable.h"

namespace friendlinks {

QList<FactColumn> allFactColumns()
{
    QList<FactColumn> all;
    for (const FactColumnInfo &info : factColumns())
        all << info.column;
    return all;
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
