#include "app/ResultsListModel.h"

#include "check/Columns.h"
#include "check/ResultsModel.h"
#include "check/RowSchema.h"
#include "check/TextEscape.h"

#include <QBrush>
#include <QColor>

namespace friendlinks {

ResultsListModel::ResultsListModel(ResultsModel *results, QObject *parent)
    : QIdentityProxyModel(parent)
{
    setSourceModel(results);
    // The cells belong to the rows they were made for: new rows, no cells.
    connect(results, &QAbstractItemModel::modelReset, this, &ResultsListModel::clearChanges);
    connect(results, &QAbstractItemModel::rowsInserted, this, &ResultsListModel::clearChanges);
    connect(results, &QAbstractItemModel::rowsRemoved, this, &ResultsListModel::clearChanges);
}

int ResultsListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : QIdentityProxyModel::columnCount(parent) + 1;
}

QModelIndex ResultsListModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != kChangesColumn)
        return QIdentityProxyModel::index(row, column, parent);
    if (parent.isValid() || row < 0 || row >= rowCount())
        return {};
    return createIndex(row, column);
}

QModelIndex ResultsListModel::parent(const QModelIndex &) const
{
    return {}; // a table
}

QModelIndex ResultsListModel::sibling(int row, int column, const QModelIndex &) const
{
    return index(row, column);
}

QModelIndex ResultsListModel::mapToSource(const QModelIndex &proxyIndex) const
{
    if (proxyIndex.isValid() && proxyIndex.column() == kChangesColumn)
        return {};
    return QIdentityProxyModel::mapToSource(proxyIndex);
}

Qt::ItemFlags ResultsListModel::flags(const QModelIndex &index) const
{
    if (index.isValid() && index.column() == kChangesColumn)
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    return QIdentityProxyModel::flags(index);
}

QVariant ResultsListModel::data(const QModelIndex &index, int role) const
{
    if (index.isValid() && index.column() == kChangesColumn) {
        if (index.row() >= m_changes.size())
            return {};
        const ChangeCell &cell = m_changes.at(index.row());
        switch (role) {
        case Qt::DisplayRole: return cell.text;
        case Qt::ToolTipRole: return cell.toolTip.isEmpty() ? QVariant() : QVariant(cell.toolTip);
        case Qt::ForegroundRole: return cell.worse ? QVariant(QBrush(Qt::red)) : QVariant();
        case ResultsModel::kRedRole: return cell.worse;
        case ResultsModel::kOrderRole: return cell.text.isEmpty() ? QVariant() : QVariant(cell.text);
        default: return {};
        }
    }
    const bool unchecked = QIdentityProxyModel::data(index, ResultsModel::kUncheckedRole).toBool();
    switch (role) {
    case Qt::DisplayRole:
        return unchecked ? QVariant(kUncheckedText) : QIdentityProxyModel::data(index, role);
    case Qt::ForegroundRole:
        if (unchecked)
            return QBrush(QColor(128, 128, 128));
        return QIdentityProxyModel::data(index, ResultsModel::kRedRole).toBool() ? QBrush(Qt::red) : QVariant();
    case Qt::ToolTipRole:
        // The whole address, escaped: the cell may be too narrow for it.
        if (index.column() == int(Column::lianjie))
            return escapeForDisplay(QIdentityProxyModel::data(index, Qt::DisplayRole).toString());
        // Baidu's cells of an answer kept from an earlier check say when Baidu gave it.
        if (const int column = index.column(); column >= int(Column::shoulu) && column <= int(Column::rp)) {
            const QString note = cachedAnswerNote(static_cast<const ResultsModel *>(sourceModel())->row(index.row()).facts);
            return note.isEmpty() ? QVariant() : QVariant(note);
        }
        return {};
    default:
        return QIdentityProxyModel::data(index, role);
    }
}

QVariant ResultsListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section == kChangesColumn) {
        if (role == Qt::DisplayRole)
            return kChangesHeader;
        if (role == Qt::ToolTipRole)
            return kChangesHeaderTip;
        return {};
    }
    if (role == Qt::ToolTipRole && orientation == Qt::Horizontal && section >= kColumnCount
        && section < kColumnCount + kFactColumnCount)
        return factColumns()[size_t(section - kColumnCount)].toolTip;
    return QIdentityProxyModel::headerData(section, orientation, role);
}

void ResultsListModel::setChanges(QList<ChangeCell> cells)
{
    m_changes = std::move(cells);
    if (rowCount() > 0)
        emit dataChanged(index(0, kChangesColumn), index(rowCount() - 1, kChangesColumn));
}

void ResultsListModel::clearChanges()
{
    if (m_changes.isEmpty())
        return;
    m_changes.clear();
    if (rowCount() > 0)
        emit dataChanged(index(0, kChangesColumn), index(rowCount() - 1, kChangesColumn));
}

} // namespace friendlinks
