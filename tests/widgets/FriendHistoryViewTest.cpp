// The history view of one friend: its table's texts and red cells, the chart's points and marks, the chart's
// axes, and what the chart paints where (red bands on the bad days, at a small size too).
#include "app/FriendHistoryDialog.h"
#include "app/FriendHistoryModel.h"
#include "check/CheckRules.h"
#include "check/JsonFormat.h"
#include "probes/BaiduProbe.h"
#include "ui/ChartScale.h"
#include "ui/TimeChart.h"

#include <QImage>
#include <QLabel>
#include <QTableView>

#include <gtest/gtest.h>

using namespace friendlinks;

namespace {

struct DayGiven {
    int day;
    QString fanlian;
    bool red;
    std::optional<bool> follow; // the anchor's; none: no anchor
    std::optional<qint64> pages;
    int status = 200;
    QString rp = kHomePageFirst;
};

FriendDay dayOf(const DayGiven &given)
{
    ResultRow row;
    row.cells[Column::lianjie].text = QStringLiteral("http://www.friend.com/");
    row.cells[Column::fanlian] = {given.fanlian, given.red};
    row.cells[Column::rp] = {given.rp, given.rp == kNotFirst};
    row.facts.status = given.status;
    if (given.follow)
        row.facts.backlink = BackLinkFacts{QStringLiteral("http://www.home.com/"), {}, *given.follow};
    row.facts.backlinkVerdict = given.red ? (given.follow ? BackLinkVerdict::PassesNothing : BackLinkVerdict::NoLink)
                                         : BackLinkVerdict::Linked;
    if (given.pages)
        row.facts.baidu = BaiduFacts{BaiduState::Ok, QString::number(*given.pages), given.pages, RankVerdict::HomeFirst, {}};
    return {given.day + 1, QDateTime(QDate(2026, 12, 1), QTime(2, 30), Qt::UTC).addDays(given.day), row};
}

QList<FriendDay> fourDays()
{
    return {dayOf({0, QStringLiteral("首页"), false, true, 10000}),
            dayOf({1, QStringLiteral("首页"), false, false, 9000}),
            dayOf({2, kNoLink, true, std::nullopt, 5000, 200, kNotFirst}),
            dayOf({3, QStringLiteral("首\r\n页"), false, true, std::nullopt, 0})};
}

TEST(FriendHistoryModel, TheNewestCheckComesFirstWithTheCellsToNoticeInRed)
{
    const FriendHistoryModel model(fourDays(), QTimeZone(8 * 3600));
    ASSERT_EQ(model.rowCount(), 4);
    ASSERT_EQ(model.columnCount(), 6);
    const QStringList headers{"日期", "反链", "跟随", "百度收录", "首页", "状态"};
    for (int c = 0; c < 6; ++c)
        EXPECT_EQ(model.headerData(c, Qt::Horizontal).toString(), headers[c]);
    using M = FriendHistoryModel;
    struct Expected {
        int row;
        QStringList texts;
        QList<int> red;
    };
    const Expected expected[] = {
        {0, {"2026-12-04 10:30", "首 页", "是", "", "首页第一", "无应答"}, {M::Status}},
        {1, {"2026-12-03 10:30", "没有链接", "", "5,000", "注意：不在第一", "200"}, {M::BackLink, M::Index, M::Rank}},
        {2, {"2026-12-02 10:30", "首页", "否", "9,000", "首页第一", "200"}, {M::Follow}},
        {3, {"2026-12-01 10:30", "首页", "是", "10,000", "首页第一", "200"}, {}},
    };
    for (const Expected &e : expected)
        for (int c = 0; c < 6; ++c) {
            EXPECT_EQ(model.index(e.row, c).data().toString(), e.texts[c]) << e.row << "," << c;
            EXPECT_EQ(model.index(e.row, c).data(M::kRedRole).toBool(), e.red.contains(c)) << e.row << "," << c;
            EXPECT_EQ(model.index(e.row, c).data(Qt::ForegroundRole).isValid(), e.red.contains(c)) << e.row << "," << c;
        }
}

TEST(FriendHistoryModel, TheChartHasEachDaysCountAndMarksTheBadDays)
{
    const ChartSeries series = friendChart(fourDays());
    ASSERT_EQ(series.points.size(), 4);
    EXPECT_EQ(series.valueName, QStringLiteral("百度收录"));
    EXPECT_EQ(series.badName, QStringLiteral("反链丢失"));
    EXPECT_EQ(series.weakName, QStringLiteral("nofollow"));
    const QList<std::optional<double>> values{10000.0, 9000.0, 5000.0, std::nullopt};
    const QList<ChartMark> marks{ChartMark::None, ChartMark::Weak, ChartMark::Bad, ChartMark::None};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(series.points[i].value, values[i]) << i;
        EXPECT_EQ(series.points[i].mark, marks[i]) << i;
        EXPECT_EQ(series.points[i].at, fourDays()[i].started) << i;
    }
}

TEST(ChartScale, ValueAxesHaveRoundTicksAroundTheValues)
{
    struct Case {
        double low, high;
        int maxTicks;
        QList<double> ticks;
    };
    const Case cases[] = {
        {0, 10, 6, {0, 2, 4, 6, 8, 10}},
        {5000, 10000, 6, {0, 2000, 4000, 6000, 8000, 10000}}, // from 0: the values are not far above it
        {98000, 102000, 5, {98000, 99000, 100000, 101000, 102000}},
        {1200, 1200, 3, {1000, 1200, 1400}}, // flat: room around the value
        {0, 0, 4, {0, 1}},                   // whole counts only
        {3, 3, 2, {0, 5}},
    };
    for (const Case &c : cases) {
        const ValueAxis axis = valueAxis(c.low, c.high, c.maxTicks);
        EXPECT_EQ(axis.ticks, c.ticks) << c.low << ".." << c.high;
        EXPECT_LE(axis.ticks.size(), c.maxTicks);
        EXPECT_LE(axis.low, c.low);
        EXPECT_GE(axis.high, c.high);
    }
}

TEST(ChartScale, CountsAreShortAndDatesSpreadOut)
{
    EXPECT_EQ(shortCount(950), QStringLiteral("950"));
    EXPECT_EQ(shortCount(9500), QStringLiteral("9,500"));
    EXPECT_EQ(shortCount(95000), QStringLiteral("95,000"));
    EXPECT_EQ(shortCount(125000), QStringLiteral("12.5万"));
    EXPECT_EQ(shortCount(1200000), QStringLiteral("120万"));
    EXPECT_EQ(shortCount(350000000), QStringLiteral("3.5亿"));

    const QDate first(2026, 12, 1);
    EXPECT_EQ(dateTicks(first, first.addDays(3), 10), (QList<QDate>{first, first.addDays(1), first.addDays(2), first.addDays(3)}));
    EXPECT_EQ(dateTicks(first, first.addDays(6), 4), (QList<QDate>{first, first.addDays(2), first.addDays(4), first.addDays(6)}));
    EXPECT_EQ(dateTicks(first, first.addDays(30), 5).size(), 5) << "every 7 days";
    EXPECT_EQ(dateTicks(first, first.addDays(30), 3).size(), 3) << "every 14 days";
    const QList<QDate> year = dateTicks(QDate(2026, 1, 5), QDate(2026, 12, 20), 6);
    ASSERT_FALSE(year.isEmpty());
    EXPECT_LE(year.size(), 6);
    for (const QDate &d : year)
        EXPECT_EQ(d.day(), 1) << "the first of a month";
}

// Pixels of a column at least a little red (a pale band is red at a few percent over white).
int redPixelsInColumn(const QImage &image, int x, int top, int bottom, int redder = 40)
{
    int red = 0;
    for (int y = top; y < bottom; ++y) {
        const QColor c = image.pixelColor(x, y);
        red += c.red() > c.green() + redder && c.red() > c.blue() + redder ? 1 : 0;
    }
    return red;
}

TEST(TimeChart, BadDaysArePaintedRedBehindTheLineAtASmallSizeToo)
{
    for (const QSize size : {QSize(560, 220), QSize(240, 140)}) {
        TimeChart chart;
        chart.resize(size);
        chart.setSeries(friendChart(fourDays()));
        const QImage image = chart.grab().toImage();
        const QRectF plot = chart.plotArea();
        ASSERT_GT(plot.width(), 100) << size.width();
        ASSERT_GT(plot.height(), 40) << size.width();
        const int top = int(plot.top()) + 2, bottom = int(plot.bottom()) - 2;
        const int bad = int(chart.xOf(fourDays()[2].started));
        const int good = int(chart.xOf(fourDays()[0].started));
        const int weak = int(chart.xOf(fourDays()[1].started));
        EXPECT_GT(redPixelsInColumn(image, bad, top, bottom), (bottom - top) * 3 / 4) << "a band across the plot";
        EXPECT_EQ(redPixelsInColumn(image, good + 3, top, bottom), 0) << "no band on a good day";
        EXPECT_GT(redPixelsInColumn(image, weak + 6, top, bottom, 20), (bottom - top) * 3 / 4) << "a pale band on a nofollow day";
        EXPECT_EQ(redPixelsInColumn(image, weak + 6, top, bottom), 0) << "paler than a missing link's";
        EXPECT_LT(chart.xOf(fourDays()[0].started), chart.xOf(fourDays()[3].started));
        EXPECT_GT(chart.xOf(fourDays()[0].started), plot.left());
        EXPECT_LT(chart.xOf(fourDays()[3].started), plot.right());
    }
}

TEST(FriendHistoryDialog, ShowsTheChartAndTheTableOfTheDaysGiven)
{
    FriendHistoryDialog dialog(QStringLiteral("www.home.com"), QStringLiteral("http://www.friend.com/"), fourDays());
    EXPECT_EQ(dialog.chart()->series(), friendChart(fourDays()));
    EXPECT_EQ(dialog.table()->model(), dialog.model());
    EXPECT_EQ(dialog.model()->rowCount(), 4);
    EXPECT_TRUE(dialog.windowTitle().contains(QStringLiteral("http://www.friend.com/")));
    const auto *heading = dialog.findChild<QLabel *>(QStringLiteral("heading"));
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(heading->text(), QStringLiteral("http://www.friend.com/ 在 www.home.com 的 4 次检查中，1 次没有反链，1 次反链为 nofollow"));
}

TEST(TimeChart, WithoutPointsItSaysSo)
{
    TimeChart chart;
    chart.resize(300, 160);
    chart.setSeries({});
    const QImage image = chart.grab().toImage();
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += image.pixelColor(x, y).lightness() < 160 ? 1 : 0;
    EXPECT_GT(dark, 20) << "the words " << TimeChart::kNoPoints.toStdString();
}

} // namespace

TEST(TimeChart, WithoutCountsTheBadDaysStillShow)
{
    QList<FriendDay> days{dayOf({0, QStringLiteral("首页"), false, true, std::nullopt}),
                          dayOf({1, kNoLink, true, std::nullopt, std::nullopt})};
    TimeChart chart;
    chart.resize(400, 200);
    chart.setSeries(friendChart(days));
    const QImage image = chart.grab().toImage();
    const QRectF plot = chart.plotArea();
    const int top = int(plot.top()) + 2, bottom = int(plot.bottom()) - 2;
    EXPECT_GT(redPixelsInColumn(image, int(chart.xOf(days[1].started)), top, bottom), (bottom - top) / 2);
    EXPECT_EQ(redPixelsInColumn(image, int(chart.xOf(days[0].started)) - 3, top, bottom), 0);
}
