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
}

QVariant ResultsListModel::data(const QModelIndex &index, int role) const
{
    switch (role) {
    case Qt::ForegroundRole:
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
    if (role == Qt::ToolTipRole && orientation == Qt::Horizontal && section >= kColumnCount
        && section < kColumnCount + kFactColumnCount)
        return factColumns()[size_t(section - kColumnCount)].toolTip;
    return QIdentityProxyModel::headerData(section, orientation, role);
}

} // namespace friendlinks
