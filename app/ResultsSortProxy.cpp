#include "app/ResultsSortProxy.h"

#include "check/ResultsModel.h"

#include <algorithm>

namespace friendlinks {

ResultsSortProxy::ResultsSortProxy(QAbstractItemModel *source, QObject *parent)
    : QSortFilterProxyModel(parent)
{
    setSourceModel(source);
    setSortRole(ResultsModel::kOrderRole);
}

void ResultsSortProxy::setProblemsOnly(bool on)
{
    if (on == m_problemsOnly)
        return;
    m_problemsOnly = on;
    invalidateRowsFilter();
}

void ResultsSortProxy::setColumnShown(std::function<bool(int)> shown)
{
    m_shown = std::move(shown);
    refilter();
}

void ResultsSortProxy::refilter()
{
    if (m_problemsOnly)
        invalidateRowsFilter();
}

QList<int> ResultsSortProxy::sourceRows() const
{
    QList<int> rows;
    for (int row = 0; row < rowCount(); ++row)
        rows << mapToSource(index(row, 0)).row();
    return rows;
}

QList<int> ResultsSortProxy::sourceRows(const QModelIndexList &proxyIndexes) const
{
    QList<int> proxyRows;
    for (const QModelIndex &index : proxyIndexes)
        if (index.isValid() && !proxyRows.contains(index.row()))
            proxyRows << index.row();
    std::sort(proxyRows.begin(), proxyRows.end());
    QList<int> rows;
    for (const int row : proxyRows)
        rows << mapToSource(index(row, 0)).row();
    return rows;
}

bool ResultsSortProxy::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    if (!m_problemsOnly)
        return true;
    const QAbstractItemModel *source = sourceModel();
    for (int column = 0; column < source->columnCount(sourceParent); ++column)
        if ((!m_shown || m_shown(column))
            && source->index(sourceRow, column, sourceParent).data(ResultsModel::kRedRole).toBool())
            return true;
    return false;
}

bool ResultsSortProxy::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    // A descending sort asks lessThan(right, left): what must not turn with
    // the order (unknown values last, equal ones in harvest order) turns here.
    const bool ascending = sortOrder() == Qt::AscendingOrder;
    const QVariant a = left.data(sortRole());
    const QVariant b = right.data(sortRole());
    if (a.isValid() != b.isValid())
        return ascending == a.isValid();
    int order = 0;
    if (!a.isValid())
        order = 0;
    else if (a.typeId() == QMetaType::LongLong && b.typeId() == QMetaType::LongLong)
        order = a.toLongLong() < b.toLongLong() ? -1 : (a.toLongLong() > b.toLongLong() ? 1 : 0);
    else
        order = QString::localeAwareCompare(a.toString(), b.toString());
    if (order != 0)
        return order < 0;
    return left.row() != right.row() && ascending == (left.row() < right.row());
}

} // namespace friendlinks
