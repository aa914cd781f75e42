#pragma once

#include <QList>
#include <QSortFilterProxyModel>

#include <functional>

namespace friendlinks {

// The list's rows as the user asked to see them, over the window's results
// (ResultsListModel): sorted by a column's typed value (numbers by their
// value, texts in the locale's order, unknown values last either way; equal
// values keep harvest order), or in harvest order (sort(-1)); with
// problemsOnly, only the rows with a red cell in a column the list shows.
// Rows of the results are rows of the source: map through it (sourceRows).
class ResultsSortProxy : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit ResultsSortProxy(QAbstractItemModel *source, QObject *parent = nullptr);

    [[nodiscard]] bool problemsOnly() const { return m_problemsOnly; }
    void setProblemsOnly(bool on);
    // Which columns count for problemsOnly (the list's shown ones); all without it.
    void setColumnShown(std::function<bool(int column)> shown);
    // The shown columns changed: the rows are filtered again.
    void refilter();

    // The source rows of the proxy's rows, in the proxy's order.
    [[nodiscard]] QList<int> sourceRows() const;
    [[nodiscard]] QList<int> sourceRows(const QModelIndexList &proxyIndexes) const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    bool m_problemsOnly = false;
    std::function<bool(int)> m_shown;
};

} // namespace friendlinks
