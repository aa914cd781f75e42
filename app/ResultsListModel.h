#pragma once

#include <QIdentityProxyModel>

namespace friendlinks {

class ResultsModel;

// The results as the window's list shows them: the core's rows and texts as
// they are, with the window's colours and tips on top (red for a red cell, the
// address on the link column, each fact column's meaning on its header).
class ResultsListModel : public QIdentityProxyModel {
    Q_OBJECT
public:
    explicit ResultsListModel(ResultsModel *results, QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
};

} // namespace friendlinks
