#pragma once

#include "check/FriendTimeline.h"
#include "ui/ChartSeries.h"

#include <QAbstractTableModel>
#include <QTimeZone>

namespace friendlinks {

// One friend's recorded checks as the history view's table shows them, the
// newest first: 日期 (local time), 反链, 跟随, 百度收录, 首页, 状态; the cells a
// webmaster must notice red (a missing or nofollow link back, an index that
// fell by more than the diff's share since the check before, the home page not
// first, a page that did not answer or answered an error).
class FriendHistoryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum ColumnIndex { Date, BackLink, Follow, Index, Rank, Status, ColumnCount };
    static constexpr int kRedRole = Qt::UserRole + 1;

    explicit FriendHistoryModel(QList<FriendDay> days, QTimeZone zone = QTimeZone::systemTimeZone(),
                                QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Oldest first, as given.
    [[nodiscard]] const QList<FriendDay> &days() const { return m_days; }
    [[nodiscard]] QString text(int row, int column) const;
    [[nodiscard]] bool isRed(int row, int column) const;

private:
    [[nodiscard]] const FriendDay &dayAt(int row) const { return m_days.at(m_days.size() - 1 - row); }

    QList<FriendDay> m_days;
    QTimeZone m_zone;
};

// The chart of the days: the index count through time, a missing link back as
// a red band, a nofollow one as a pale band.
[[nodiscard]] ChartSeries friendChart(const QList<FriendDay> &days);

inline const QString kChartIndexName = QStringLiteral("百度收录");
inline const QString kChartMissingName = QStringLiteral("反链丢失");
inline const QString kChartNofollowName = QStringLiteral("nofollow");

} // namespace friendlinks
