// The 变化 column's cell of each row from what changed since the site's check before: the changes and the
// states that still hold, joined, since when, red when worse.
#include "app/ChangeCells.h"

#include "check/RowSchema.h"

#include <gtest/gtest.h>

using namespace friendlinks;

namespace {

ResultRow rowOf(const char *address)
{
    ResultRow row;
    row.cells[Column::lianjie].text = QString::fromUtf8(address);
    return row;
}

const QDate kToday(2026, 12, 9);

TEST(ChangeCells, EachRowSaysItsChangesThenWhatStillHoldsSinceItsDay)
{
    SiteChanges changes;
    changes.hasEarlier = true;
    changes.changes = {
        {"http://a.com/", kChangeBacklinkLost, "反链丢失", "首页", "没有链接", ChangeTone::Worse, kToday},
        {"http://b.com/", kChangeIndexDrop, "收录下降 35%", "1000", "650", ChangeTone::Worse, kToday},
        {"http://c.com/", kChangeAdded, "新增友链", "", "", ChangeTone::Better, kToday},
        {"http://d.com/", kChangeBacklinkBack, "反链恢复", "没有链接", "首页", ChangeTone::Better, kToday},
        {"", kChangeReachable, "恢复访问", "", "", ChangeTone::Better, kToday},
        {"http://gone.com/", kChangeRemoved, "友链移除", "", "", ChangeTone::Worse, kToday},
    };
    changes.ongoing = {
        {"http://b.com/", kChangeNofollowAdded, "加了 nofollow", QDate(2026, 12, 3)},
        {"http://e.com/", kChangeBacklinkLost, "反链丢失", QDate(2026, 11, 28)},
    };
    const QList<ResultRow> rows{rowOf("http://a.com/"), rowOf("http://b.com/"), rowOf("http://c.com/"),
                                rowOf("http://d.com/"), rowOf("http://e.com/"), rowOf("http://f.com/"),
                                rowOf("http://a.com/")};
    struct Expected {
        QString text;
        bool worse;
    };
    const QList<Expected> expected{
        {"反链丢失", true},
        {"收录下降 35%；加了 nofollow (12-03 起)", true},
        {"新增友链", false},
        {"反链恢复", false},
        {"反链丢失 (11-28 起)", true},
        {"", false},
        {"反链丢失", true}, // a repeated address: the same words
    };
    const QList<ChangeCell> cells = changeCells(changes, rows, kToday);
    ASSERT_EQ(cells.size(), rows.size());
    for (qsizetype i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(cells[i].text, expected[i].text) << i;
        EXPECT_EQ(cells[i].worse, expected[i].worse) << i;
    }
    EXPECT_EQ(cells[0].toolTip, QStringLiteral("反链丢失：首页 → 没有链接"));
    EXPECT_EQ(cells[1].toolTip, QStringLiteral("收录下降 35%：1000 → 650\n加了 nofollow (12-03 起)，至今未恢复"));
    EXPECT_EQ(cells[2].toolTip, QStringLiteral("新增友链"));
}

TEST(ChangeCells, SinceIsSaidOnlyForADayBeforeTheChecksOwn)
{
    EXPECT_EQ(changeWords("反链丢失", QDate(2026, 12, 3), kToday), QStringLiteral("反链丢失 (12-03 起)"));
    EXPECT_EQ(changeWords("反链丢失", kToday, kToday), QStringLiteral("反链丢失"));
    EXPECT_EQ(changeWords("反链丢失", {}, kToday), QStringLiteral("反链丢失"));
    EXPECT_EQ(changeWords("反链丢失", QDate(2025, 12, 31), kToday), QStringLiteral("反链丢失 (12-31 起)"));
}

TEST(ChangeCells, OldAndNewValuesReachTheTipOnOneLineEach)
{
    SiteChanges changes;
    changes.changes = {{"http://a.com/", kChangeBacklinkLost, "反链丢失", "首\r\n页\u202e", "没有链接", ChangeTone::Worse, kToday}};
    const QList<ChangeCell> cells = changeCells(changes, {rowOf("http://a.com/")}, kToday);
    ASSERT_EQ(cells.size(), 1);
    EXPECT_FALSE(cells[0].toolTip.contains(QChar(0x202e))) << "no bidi control from a page";
    EXPECT_FALSE(cells[0].toolTip.contains(QLatin1Char('\r')));
}

} // namespace
