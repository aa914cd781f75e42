#include "check/ResultsModel.h"

namespace friendlinks {
namespace {

// The cells the row probes fill (the harvest gives the address and the name).
bool isProbedColumn(int column)
{
    return column >= int(Column::fanlian) && column < kColumnCount;
}

QVariant number(std::optional<qint64> value)
{
    return value ? QVariant(qlonglong(*value)) : QVariant();
}

// The typed value behind a counted column; nothing for the columns ordered by their text.
std::optional<QVariant> countedValue(const RowFacts &facts, int column)
{
    const std::optional<qint64> pages = facts.baidu ? facts.baidu->pages : std::nullopt;
    if (column == int(Column::shoulu))
        return number(pages);
    switch (static_cast<FactColumn>(column - kColumnCount)) {
    case FactColumn::status: return QVariant(qlonglong(facts.status));
    case FactColumn::ms: return QVariant(qlonglong(facts.ms));
    case FactColumn::outbound: return number(facts.outbound ? std::optional<qint64>(*facts.outbound) : std::nullopt);
    case FactColumn::baiduCount: return number(facts.baidu && facts.baidu->count ? pages : std::nullopt);
    default: return std::nullopt;
    }
}

} // namespace

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
    case kUncheckedRole:
        return isProbedColumn(index.column()) && isUnchecked(index.row())
               && cell(index.row(), index.column()).text.isEmpty();
    case kOrderRole: {
        if (index.row() >= m_rows.size())
            return {};
        if (const auto counted = countedValue(m_rows[index.row()].facts, index.column()))
            return *counted;
        const QString text = cell(index.row(), index.column()).text;
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
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
