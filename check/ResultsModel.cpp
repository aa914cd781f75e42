#include "check/ResultsModel.h"

#include "check/TextEscape.h"

namespace friendlinks {
namespace {

// Red as the list shows it. The core knows no QColor: the colour comes from
// its name, converted by Qt Gui where it is loaded (the window), else none.
QVariant redColour()
{
    QVariant colour(QStringLiteral("#ff0000"));
    return colour.convert(QMetaType(QMetaType::QColor)) ? colour : QVariant();
}

} // namespace

ResultsModel::ResultsModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

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
    case Qt::ForegroundRole:
        return cell(index.row(), index.column()).red ? redColour() : QVariant();
    case Qt::ToolTipRole:
        if (index.column() == int(Column::lianjie))
            return escapeForDisplay(cell(index.row(), index.column()).text);
        return {};
    default:
        return {};
    }
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kAllColumns)
        return {};
    if (section < kColumnCount)
        return role == Qt::DisplayRole ? QVariant(columns()[size_t(section)].header) : QVariant();
    const FactColumnInfo &fact = factColumns()[size_t(section - kColumnCount)];
    if (role == Qt::DisplayRole)
        return fact.header;
    if (role == Qt::ToolTipRole)
        return fact.toolTip;
    return {};
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

void ResultsModel::clear(const QString &site, bool modern)
{
    beginResetModel();
    m_rows.clear();
    m_outcome = SiteOutcome();
    m_outcome.site = site;
    m_outcome.modern = modern;
    endResetModel();
}

int ResultsModel::appendRow(const ResultRow &row)
{
    const int at = int(m_rows.size());
    beginInsertRows({}, at, at);
    m_rows.append(row);
    endInsertRows();
    return at;
}

void ResultsModel::setCell(int row, Column column, const Cell &cell)
{
    if (row < 0 || row >= m_rows.size())
        return;
    m_rows[row].cells[column] = cell;
    const QModelIndex at = index(row, int(column));
    emit dataChanged(at, at);
}

void ResultsModel::setFacts(int row, const RowFacts &facts)
{
    if (row < 0 || row >= m_rows.size())
        return;
    m_rows[row].facts = facts;
    emit dataChanged(index(row, kColumnCount), index(row, kAllColumns - 1));
}

void ResultsModel::updateRow(int row, const std::function<void(ResultRow &)> &change)
{
    if (row < 0 || row >= m_rows.size())
        return;
    change(m_rows[row]);
    emit dataChanged(index(row, 0), index(row, kAllColumns - 1));
}

} // namespace friendlinks
