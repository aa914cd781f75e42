#include "check/ResultsModel.h"

namespace friendlinks {

int ResultsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ResultsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kAllColumns;
}

Cell ResultsModel::cell(int row, int column) const
{
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= kAllColumns)
        return {};
    const ResultRow &r = m_rows[row];
    if (column < kColumnCount)
        return r.cells.cells[size_t(column)];
    return factCell(r.facts, static_cast<FactColumn>(column - kColumnCount));
}

QVariant ResultsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return cell(index.row(), index.column()).text;
    case kRedRole:
        return cell(index.row(), index.column()).red;
    default:
        return {};
    }
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kAllColumns || role != Qt::DisplayRole)
        return {};
    if (section < kColumnCount)
        return columns()[size_t(section)].header;
    return factColumns()[size_t(section - kColumnCount)].header;
}

QList<CheckRow> ResultsModel::cellRows() const
{
    QList<CheckRow> out;
    out.reserve(m_rows.size());
    for (const ResultRow &r : m_rows)
        out << r.cells;
    return out;
}

QList<RowFacts> ResultsModel::factRows() const
{
    QList<RowFacts> out;
    out.reserve(m_rows.size());
    for (const ResultRow &r : m_rows)
        out << r.facts;
    return out;
}

} // namespace friendlinks
