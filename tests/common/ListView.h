#pragma once

#include <QAbstractItemModel>
#include <QBrush>
#include <QColor>
#include <QItemSelectionModel>
#include <QTreeView>

namespace friendlinks {

// The window's result list as a user sees it: through its view's model.
inline int listRows(const QTreeView *list)
{
    return list->model()->rowCount();
}

inline QString listText(const QTreeView *list, int row, int column)
{
    return list->model()->index(row, column).data().toString();
}

inline bool isRed(const QTreeView *list, int row, int column)
{
    const QVariant v = list->model()->index(row, column).data(Qt::ForegroundRole);
    return v.isValid() && v.value<QBrush>().color() == QColor(255, 0, 0);
}

inline void selectOnlyRow(QTreeView *list, int row)
{
    list->selectionModel()->select(list->model()->index(row, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

} // namespace friendlinks
