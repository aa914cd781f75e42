// A friend's recorded rows read back day by day: which days its link back was missing or passed nothing, read
// as the mode of each day's check read them, and its index count.
#include "check/FriendTimeline.h"

#include "check/CheckRules.h"
#include "check/JsonFormat.h"
#include "tests/common/HistorySamples.h"

#include <gtest/gtest.h>

namespace friendlinks {
namespace {

// A row as a check wrote it: the fanlian cell, its red flag, and the anchor fact behind it (none for no anchor).
QByteArray rowWith(const QString &fanlian, bool red, std::optional<bool> follow, std::optional<qint64> pages = 1200)
{
    ResultRow row;
    row.cells[Column::lianjie].text = QStringLiteral("http://www.friend.com/");
    row.cells[Column::fanlian] = {fanlian, red};
    if (follow)
        row.facts.backlink = BackLinkFacts{QStringLiteral("http://www.home.com/"),
                                           *follow ? QStringList() : QStringList{QStringLiteral("nofollow")}, *follow};
    if (pages) {
        row.cells[Column::shoulu].text = QString::number(*pages);
        row.facts.baidu = BaiduFacts{BaiduState::Ok, QString::number(*pages), pages, RankVerdict::HomeFirst, {}};
    }
    return formatRowJson(row);
}

FriendEntry entry(qint64 id, int day, QByteArray payload)
{
    return {id, QDateTime(QDate(2026, 12, 1), QTime(3, 0), Qt::UTC).addDays(day), std::move(payload)};
}

TEST(FriendTimeline, EachDayTellsAMissingOrNofollowLinkBackAsItsChecksModeRead)
{
    struct Case {
        const char *what;
        QByteArray payload;
        bool modern;
        bool missing;
        bool nofollow;
    };
    const Case cases[] = {
        {"a followed link back", rowWith(QStringLiteral("首页"), false, true), false, false, false},
        {"classic: a nofollow link back is shown as found", rowWith(QStringLiteral("首页"), false, false), false, false, true},
        {"modern: a red link back with its anchor passes nothing", rowWith(QStringLiteral("首页"), true, false), true, false, true},
        {"no link on the page", rowWith(kNoLink, true, std::nullopt), false, true, false},
        {"modern: no link on the page", rowWith(kNoLink, true, std::nullopt), true, true, false},
        {"the page too slow", rowWith(kTooSlow, true, std::nullopt), false, true, false},
        {"not probed", rowWith(QString(), false, std::nullopt), false, false, false},
    };
    for (const Case &c : cases) {
        const auto days = friendTimeline({entry(7, 0, c.payload)}, {{7, c.modern}});
        ASSERT_TRUE(std::holds_alternative<QList<FriendDay>>(days)) << c.what << ": " << std::get<QString>(days).toStdString();
        const FriendDay &day = std::get<QList<FriendDay>>(days).at(0);
        EXPECT_EQ(day.backLinkMissing(), c.missing) << c.what;
        EXPECT_EQ(day.backLinkNofollow(), c.nofollow) << c.what;
    }
}

TEST(FriendTimeline, DaysKeepTheirOrderChecksTimesAndIndexCounts)
{
    const QList<FriendEntry> entries{entry(3, 0, rowWith(QStringLiteral("首页"), false, true, 1200)),
                                     entry(5, 1, rowWith(QStringLiteral("首页"), false, true, std::nullopt)),
                                     entry(9, 2, rowWith(kNoLink, true, std::nullopt, 640))};
    const auto read = friendTimeline(entries, {});
    ASSERT_TRUE(std::holds_alternative<QList<FriendDay>>(read));
    const QList<FriendDay> days = std::get<QList<FriendDay>>(read);
    ASSERT_EQ(days.size(), 3);
    EXPECT_EQ(days[0].checkId, 3);
    EXPECT_EQ(days[2].checkId, 9);
    EXPECT_EQ(days[1].started, entries[1].started);
    EXPECT_EQ(days[1].started.timeSpec(), Qt::UTC);
    EXPECT_EQ(days[0].indexPages(), IndexPages(1200));
    EXPECT_EQ(days[1].indexPages(), IndexPages()) << "Baidu gave no count that day";
    EXPECT_EQ(days[2].indexPages(), IndexPages(640));
    EXPECT_EQ(days[2].row.cells[Column::fanlian].text, kNoLink);
}

TEST(FriendTimeline, TheSamplesOfAYearReadBackWithTheirLostDays)
{
    QList<FriendEntry> entries;
    int lost = 0;
    for (int day = 0; day < 60; ++day) {
        entries << entry(day + 1, day, samples::rowJson(9, day));
        lost += samples::rowJson(9, day).contains("没有链接") ? 1 : 0;
    }
    QList<CheckSummary> checks;
    for (const FriendEntry &e : entries)
        checks << CheckSummary{e.checkId, QStringLiteral("modern"), e.started, e.started, QStringLiteral("8.0"), 100};
    const auto read = friendTimeline(entries, modernChecks(checks));
    ASSERT_TRUE(std::holds_alternative<QList<FriendDay>>(read)) << std::get<QString>(read).toStdString();
    const QList<FriendDay> days = std::get<QList<FriendDay>>(read);
    ASSERT_EQ(days.size(), 60);
    ASSERT_GT(lost, 0) << "the samples lose a link now and then";
    EXPECT_EQ(std::count_if(days.begin(), days.end(), [](const FriendDay &d) { return d.backLinkMissing(); }), lost);
    // Friend 9 links back nofollow on every day it links back at all.
    for (const FriendDay &d : days)
        EXPECT_EQ(d.backLinkNofollow(), !d.backLinkMissing()) << d.started.toString(Qt::ISODate).toStdString();
}

TEST(FriendTimeline, ARowThatCannotBeReadNamesItsCheck)
{
    const auto read = friendTimeline({entry(3, 0, rowWith(QStringLiteral("首页"), false, true)), entry(4, 1, "{not json")}, {});
    ASSERT_TRUE(std::holds_alternative<QString>(read));
    EXPECT_TRUE(std::get<QString>(read).startsWith(QStringLiteral("recorded check 4 (2026-12-02T03:00:00Z)")))
        << std::get<QString>(read).toStdString();
}

TEST(FriendTimeline, ModesComeFromTheSitesChecks)
{
    CheckSummary classic, modernCheck;
    classic.id = 1;
    classic.mode = QStringLiteral("classic");
    modernCheck.id = 2;
    modernCheck.mode = QStringLiteral("modern");
    const QHash<qint64, bool> modern = modernChecks({classic, modernCheck});
    EXPECT_EQ(modern.value(1, true), false);
    EXPECT_EQ(modern.value(2, false), true);
    EXPECT_FALSE(modern.contains(3));
}

} // namespace
} // namespace friendlinks
