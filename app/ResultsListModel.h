#pragma once

#include "app/ChangeCells.h"
#include "check/ResultsModel.h"

#include <QIdentityProxyModel>
#include <QList>

namespace friendlinks {

// The results as the window's list shows them: the core's rows and texts as
// they are, with the window's colours and tips on top (red for a red cell, the
// address on the link column, each fact column's meaning on its header), and
// one column of the window's own after the core's: "变化", what changed since
// the site's check before (empty until setChanges, emptied when the rows go).
// A cell a stopped check did not get to reads "未检查", in grey.
class ResultsListModel : public QIdentityProxyModel {
    Q_OBJECT
public:
    static constexpr int kChangesColumn = ResultsModel::kAllColumns;

    explicit ResultsListModel(ResultsModel *results, QObject *parent = nullptr);

    int columnCount(const QModelIndex &parent = {}) const override;
    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    QModelIndex sibling(int row, int column, const QModelIndex &index) const override;
    QModelIndex mapToSource(const QModelIndex &proxyIndex) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The "变化" cells of the rows, in order.
    void setChanges(QList<ChangeCell> cells);
    void clearChanges();
    [[nodiscard]] const QList<ChangeCell> &changes() const { return m_changes; }

private:
    QList<ChangeCell> m_changes;
};

inline const QString kUncheckedText = QStringLiteral("未检查");

} // namespace friendlinks
