#include "app/FriendHistoryModel.h"

#include "check/RowSchema.h"
#include "check/TextEscape.h"
#include "ui/ChartScale.h"

#include <QBrush>

namespace friendlinks {

namespace {

const QStringList &headers()
{
    static const QStringList names{QStringLiteral("日期"),     QStringLiteral("反链"), QStringLiteral("跟随"),
                                   QStringLiteral("百度收录"), QStringLiteral("首页"), QStringLiteral("状态")};
    return names;
}

} // namespace

FriendHistoryModel::FriendHistoryModel(QList<FriendDay> days, QTimeZone zone, QObject *parent)
    : QAbstractTableModel(parent)
    , m_days(std::move(days))
    , m_zone(std::move(zone))
{
}

int FriendHistoryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_days.size());
}

int FriendHistoryModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString FriendHistoryModel::text(int row, int column) const
{
    const FriendDay &day = dayAt(row);
    const RowFacts &facts = day.row.facts;
    switch (column) {
    case Date:
        return day.started.toTimeZone(m_zone).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    case BackLink:
        return oneLineCellText(day.row.cells[Column::fanlian].text);
    case Follow:
        if (day.backLinkMissing() || !facts.backlink)
            return {};
        return day.backLinkNofollow() ? QStringLiteral("否") : QStringLiteral("是");
    case Index:
        if (const IndexPages pages = day.indexPages())
            return groupedCount(*pages);
        return oneLineCellText(day.row.cells[Column::shoulu].text);
    case Rank:
        return oneLineCellText(day.row.cells[Column::rp].text);
    case Status:
        if (facts.status == 0)
            return day.row.cells[Column::fanlian].text.isEmpty() ? QString() : QStringLiteral("无应答");
        return QString::number(facts.status);
    default:
        return {};
    }
}

bool FriendHistoryModel::isRed(int row, int column) const
{
    const FriendDay &day = dayAt(row);
    switch (column) {
    case BackLink:
        return day.row.cells[Column::fanlian].red || day.backLinkMissing();
    case Follow:
        return !day.backLinkMissing() && day.backLinkNofollow();
    case Index: {
        const int older = int(m_days.size()) - 2 - row; // the check before, in m_days' order
        if (older < 0)
            return false;
        const IndexPages before = m_days.at(older).indexPages(), now = day.indexPages();
        return before && now && isIndexDrop(*before, *now);
    }
    case Rank:
        return day.row.cells[Column::rp].red;
    case Status:
        return !text(row, Status).isEmpty() && (day.row.facts.status == 0 || day.row.facts.status >= 400);
    default:
        return false;
    }
}

QVariant FriendHistoryModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= ColumnCount)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return text(index.row(), index.column());
    case Qt::ToolTipRole:
        return index.column() == BackLink ? QVariant(text(index.row(), index.column())) : QVariant();
    case Qt::ForegroundRole:
        return isRed(index.row(), index.column()) ? QVariant(QBrush(Qt::red)) : QVariant();
    case kRedRole:
        return isRed(index.row(), index.column());
    default:
        return {};
    }
}

QVariant FriendHistoryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return headers().at(section);
}

ChartSeries friendChart(const QList<FriendDay> &days)
{
    ChartSeries series;
    series.valueName = kChartIndexName;
    series.badName = kChartMissingName;
    series.weakName = kChartNofollowName;
    for (const FriendDay &day : days) {
        ChartPoint point;
        point.at = day.started;
        if (const IndexPages pages = day.indexPages())
            point.value = double(*pages);
        point.mark = day.backLinkMissing() ? ChartMark::Bad : day.backLinkNofollow() ? ChartMark::Weak : ChartMark::None;
        series.points << point;
    }
    return series;
}

} // namespace friendlinks
