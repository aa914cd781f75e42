#pragma once

#include "check/FriendTimeline.h"

#include <QDialog>

class QTableView;

namespace friendlinks {

class FriendHistoryModel;
class TimeChart;

// "历史…": one friend's recorded checks, the chart of its index count with the
// days its link back was missing or nofollow above, the table of every check
// below (the newest first). It holds what it was given; it reads no store.
class FriendHistoryDialog : public QDialog {
    Q_OBJECT
public:
    FriendHistoryDialog(const QString &site, const QString &lianjie, QList<FriendDay> days, QWidget *parent = nullptr);

    [[nodiscard]] TimeChart *chart() const { return m_chart; }
    [[nodiscard]] QTableView *table() const { return m_table; }
    [[nodiscard]] FriendHistoryModel *model() const { return m_model; }

private:
    TimeChart *m_chart = nullptr;
    QTableView *m_table = nullptr;
    FriendHistoryModel *m_model = nullptr;
};

} // namespace friendlinks
