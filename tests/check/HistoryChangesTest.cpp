// What changed since a site's previous recorded check, and the bad states
// that began earlier with their first day, read from a real history file.
#include "check/HistoryChanges.h"

#include "check/CheckRules.h"
#include "check/HistoryRecording.h"
#include "check/JsonRead.h"
#include "check/RowSchema.h"
#include "probes/BaiduProbe.h"
#include "tests/common/HistorySamples.h"
#include "tests/common/Table.h"

#include <QTemporaryDir>

#include <gmock/gmock.h>

namespace friendlinks {
namespace {

// One friend through the days, one letter a day, the last day the check now:
// links L linked, F there with nofollow, N no link, ? not probed, - not listed;
// ranks 1 home page first, 0 not first, ? unknown.
struct FriendDays {
    QString lianjie;
    QString links;
    QString ranks = {};
    QList<qint64> pages = {}; // 0: no count that day
};

QDateTime dayStart(int day)
{
    return QDateTime(QDate(2026, 12, 1), QTime(3, 0), Qt::UTC).addDays(day);
}

// A row as a modern check writes it, read back the way the history reads it.
ResultRow friendRow(const FriendDays &f, int day)
{
    const QChar link = f.links[day];
    const QChar rank = f.ranks.isEmpty() ? QChar(u'?') : f.ranks[day];
    const qint64 pages = f.pages.value(day);
    QString fanlian, backlink = QStringLiteral("null"), red;
    if (link == u'L' || link == u'F') {
        fanlian = QStringLiteral("首页之家");
        const bool follow = link == u'L';
        backlink = QStringLiteral(R"({"href": "http://www.me.com/", "rel": [%1], "follow": %2})")
                       .arg(follow ? "" : "\"nofollow\"", follow ? "true" : "false");
        if (!follow)
            red = QStringLiteral("\"fanlian\"");
    } else if (link == u'N') {
        fanlian = kNoLink;
        red = QStringLiteral("\"fanlian\"");
    }
    const QString rp = rank == u'1' ? kHomePageFirst : rank == u'0' ? kNotFirst : QString();
    if (rank == u'0')
        red += red.isEmpty() ? QStringLiteral("\"rp\"") : QStringLiteral(", \"rp\"");
    const QString baidu = pages || rank != u'?'
        ? QStringLiteral(R"({"state": "ok", "count": %1})").arg(pages ? QStringLiteral("\"%1\"").arg(pages) : "null")
        : QStringLiteral("null");
    const QString json = QStringLiteral(R"({"lianjie": "%1", "guanjianzi": "友站", "fanlian": "%2", "shoulu": "%3",)"
                                        R"( "kuaizhao": "", "rp": "%4", "red": [%5], "facts": {"status": 200,)"
                                        R"( "backlink": %6, "baidu": %7}})")
                             .arg(f.lianjie, fanlian, pages ? QStringLiteral("约%1篇").arg(pages) : QString(), rp, red,
                                  backlink, baidu);
    auto row = readRowJson(json.toUtf8(), true);
    EXPECT_TRUE(std::holds_alternative<ResultRow>(row)) << std::get<QString>(row).toStdString();
    return std::get<ResultRow>(row);
}

const QString kSite = QStringLiteral("www.me.com");

// The site's check on one day; reachable: whether its home page could be read that day.
SiteResult siteCheck(const QList<FriendDays> &friends, int day, bool reachable = true)
{
    SiteResult result;
    result.outcome.site = kSite;
    result.outcome.modern = true;
    result.outcome.reachable = reachable;
    result.outcome.home.status = reachable ? 200 : 0;
    result.startedAt = dayStart(day);
    result.finishedAt = result.startedAt.addSecs(60);
    if (reachable)
        for (const FriendDays &f : friends)
            if (f.links[day] != u'-')
                result.rows.append(friendRow(f, day));
    return result;
}

class HistoryChangesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(m_store.open(m_dir.filePath(QStringLiteral("history.sqlite"))))
            << m_store.lastError().reason.toStdString();
    }

    qint64 record(const SiteResult &result)
    {
        const qint64 id = m_store.record(checkRecord(result, QStringLiteral("8.0")));
        EXPECT_GT(id, 0) << m_store.lastError().reason.toStdString();
        return id;
    }

    // Records every day but the last; the changes of the last day's check, not recorded.
    SiteChanges changesOfLastDay(const QList<FriendDays> &friends, const QString &reachableDays = {})
    {
        const int days = int(friends.isEmpty() ? reachableDays.size() : friends.first().links.size());
        const auto reachable = [&](int day) { return reachableDays.isEmpty() || reachableDays[day] == u'y'; };
        for (int day = 0; day + 1 < days; ++day)
            record(siteCheck(friends, day, reachable(day)));
        auto changes = siteChanges(m_store, siteCheck(friends, days - 1, reachable(days - 1)));
        EXPECT_TRUE(std::holds_alternative<SiteChanges>(changes)) << std::get<QString>(changes).toStdString();
        return std::get<SiteChanges>(changes);
    }

    QTemporaryDir m_dir;
    HistoryStore m_store;
};

// A change as the test tables write it: lianjie, code, label, tone, since (day number).
struct Expected {
    QString lianjie, code, label;
    ChangeTone tone;
    int since;
};
struct ExpectedState {
    QString lianjie, code, label;
    int since;
};

const char *toneName(ChangeTone tone)
{
    return tone == ChangeTone::Worse ? "worse" : tone == ChangeTone::Better ? "better" : "neutral";
}

struct ChangeCase : Row {
    QList<FriendDays> friends;
    QList<Expected> changes;
    QList<ExpectedState> ongoing;
};

const QString a = QStringLiteral("http://www.a.com/");
const QString b = QStringLiteral("http://www.b.com/");

const ChangeCase kChangeCases[] = {
    {{"LinkLostNow"}, {{a, "LLN"}}, {{a, "backlink_lost", "反链丢失", ChangeTone::Worse, 2}}, {}},
    {{"LinkBack"}, {{a, "NNL"}}, {{a, "backlink_back", "反链恢复", ChangeTone::Better, 2}}, {}},
    {{"LinkMissingSinceItWentIsOngoing"}, {{a, "LLNNN"}}, {}, {{a, "backlink_lost", "反链丢失", 2}}},
    {{"MissingFromTheFirstCheck"}, {{a, "NNN"}}, {}, {{a, "backlink_lost", "反链丢失", 0}}},
    {{"ADayNotProbedDoesNotBreakTheRun"}, {{a, "LN?N"}}, {}, {{a, "backlink_lost", "反链丢失", 1}}},
    {{"NotListedYesterdayIsAddedToday"}, {{a, "LN-N"}}, {{a, "added", "新增友链", ChangeTone::Neutral, 3}}, {}},
    {{"NofollowIsOneChangeNotALostLinkToo"}, {{a, "LLF"}}, {{a, "nofollow_added", "加了 nofollow", ChangeTone::Worse, 2}}, {}},
    {{"NofollowDropped"}, {{a, "FFL"}}, {{a, "nofollow_removed", "去掉 nofollow", ChangeTone::Better, 2}}, {}},
    {{"NofollowSinceIsOngoing"}, {{a, "LFFF"}}, {}, {{a, "nofollow_added", "加了 nofollow", 1}}},
    {{"NofollowAfterMissingIsItsOwnState"}, {{a, "NNFF"}}, {}, {{a, "nofollow_added", "加了 nofollow", 2}}},
    {{"AddedAndRemoved"},
     {{a, "L-"}, {b, "-L"}},
     {{a, "removed", "友链移除", ChangeTone::Worse, 1}, {b, "added", "新增友链", ChangeTone::Neutral, 1}},
     {}},
    {{"RankLost"}, {{a, "LL", "10"}}, {{a, "rank_lost", "首页不再第一", ChangeTone::Worse, 1}}, {}},
    {{"RankNotFirstSince"}, {{a, "LLLL", "1000"}}, {}, {{a, "rank_lost", "首页不再第一", 1}}},
    {{"RankUnknownSkipped"}, {{a, "LLLL", "10?0"}}, {}, {{a, "rank_lost", "首页不再第一", 1}}},
    {{"IndexDropsBy40Percent"}, {{a, "LL", "", {1000, 600}}}, {{a, "index_drop", "收录下降 40%", ChangeTone::Worse, 1}}, {}},
    {{"IndexDropOf30PercentIsNoChange"}, {{a, "LL", "", {1000, 700}}}, {}, {}},
    {{"IndexCollapsedAndStillDown"}, {{a, "LLLL", "", {1000, 600, 610, 605}}}, {}, {{a, "index_drop", "收录下降 40%", 1}}},
    {{"IndexCollapseSurvivesADayWithoutCount"}, {{a, "LLLL", "", {1000, 600, 0, 605}}}, {}, {{a, "index_drop", "收录下降 40%", 1}}},
    {{"IndexRoseAgainIsNoCollapse"}, {{a, "LLLL", "", {1000, 600, 900, 880}}}, {}, {}},
    {{"IndexCollapseLongAgoIsForgotten"}, {{a, "LLLLLLLLLLL", "", {1000, 500, 500, 500, 500, 500, 500, 500, 500, 500, 500}}}, {}, {}},
    {{"RegressionsFirstThenRowOrder"},
     {{a, "NL"}, {b, "LN"}},
     {{b, "backlink_lost", "反链丢失", ChangeTone::Worse, 1}, {a, "backlink_back", "反链恢复", ChangeTone::Better, 1}},
     {}},
    {{"NothingChanged"}, {{a, "LLL", "111", {500, 510, 505}}}, {}, {}},
};

TABLE_TEST_F(HistoryChangesTest, HistoryChangesCases, ChangesAndStatesWithTheirDays, kChangeCases)
{
    const ChangeCase &c = GetParam();
    const SiteChanges got = changesOfLastDay(c.friends);
    EXPECT_TRUE(got.hasEarlier);
    EXPECT_EQ(got.comparedWith, dayStart(int(c.friends.first().links.size()) - 2));
    QList<Expected> changes;
    for (const RowChange &change : got.changes)
        changes.append({change.lianjie, change.code, change.label, change.tone, int(dayStart(0).date().daysTo(change.since))});
    QList<ExpectedState> ongoing;
    for (const RowState &state : got.ongoing)
        ongoing.append({state.lianjie, state.code, state.label, int(dayStart(0).date().daysTo(state.since))});
    const auto same = [](const auto &x, const auto &y) {
        return x.lianjie == y.lianjie && x.code == y.code && x.label == y.label && x.since == y.since;
    };
    ASSERT_EQ(changes.size(), c.changes.size()) << "changes";
    for (qsizetype i = 0; i < changes.size(); ++i) {
        EXPECT_TRUE(same(changes[i], c.changes[i]) && changes[i].tone == c.changes[i].tone)
            << i << ": " << changes[i].code.toStdString() << " " << changes[i].label.toStdString() << " "
            << toneName(changes[i].tone) << " since day " << changes[i].since;
    }
    ASSERT_EQ(ongoing.size(), c.ongoing.size()) << "ongoing";
    for (qsizetype i = 0; i < ongoing.size(); ++i)
        EXPECT_TRUE(same(ongoing[i], c.ongoing[i]))
            << i << ": " << ongoing[i].code.toStdString() << " " << ongoing[i].label.toStdString() << " since day "
            << ongoing[i].since;
}

TEST_F(HistoryChangesTest, TheFirstCheckHasNothingToCompare)
{
    const SiteChanges got = changesOfLastDay({{a, "N"}});
    EXPECT_FALSE(got.hasEarlier);
    EXPECT_TRUE(got.changes.isEmpty());
    EXPECT_TRUE(got.ongoing.isEmpty());
    EXPECT_EQ(got.worse(), 0);
    EXPECT_EQ(got.summary(), QString());
}

TEST_F(HistoryChangesTest, OtherSitesAreNotCompared)
{
    SiteResult other = siteCheck({{a, "L"}}, 0);
    other.outcome.site = QStringLiteral("www.other.com");
    record(other);
    const SiteChanges got = changesOfLastDay({{a, "N"}});
    EXPECT_FALSE(got.hasEarlier);
}

TEST_F(HistoryChangesTest, ASiteUnreachableSinceADay)
{
    const SiteChanges lostNow = changesOfLastDay({}, QStringLiteral("yn"));
    ASSERT_EQ(lostNow.changes.size(), 1);
    EXPECT_EQ(lostNow.changes[0].code, kChangeUnreachable);
    EXPECT_EQ(lostNow.changes[0].label, "无法访问");
    EXPECT_EQ(lostNow.changes[0].tone, ChangeTone::Worse);
    EXPECT_EQ(lostNow.summary(), "与 12-01 相比：网站无法访问");
    EXPECT_TRUE(lostNow.ongoing.isEmpty());

    record(siteCheck({}, 1, false));
    record(siteCheck({}, 2, false));
    const auto still = siteChanges(m_store, siteCheck({}, 3, false));
    ASSERT_TRUE(std::holds_alternative<SiteChanges>(still));
    const SiteChanges &got = std::get<SiteChanges>(still);
    EXPECT_TRUE(got.changes.isEmpty());
    ASSERT_EQ(got.ongoing.size(), 1);
    EXPECT_EQ(got.ongoing[0], (RowState{QString(), kChangeUnreachable, "无法访问", QDate(2026, 12, 2)}));
}

TEST_F(HistoryChangesTest, BackAfterBeingUnreachableComparesNoRows)
{
    const SiteChanges got = changesOfLastDay({{a, "LNN"}}, QStringLiteral("yny"));
    ASSERT_EQ(got.changes.size(), 1);
    EXPECT_EQ(got.changes[0].code, kChangeReachable);
    EXPECT_EQ(got.changes[0].tone, ChangeTone::Better);
    EXPECT_TRUE(got.ongoing.isEmpty());
}

TEST_F(HistoryChangesTest, SummaryCountsEachKindWorseFirst)
{
    const SiteChanges got = changesOfLastDay({{a, "LN"}, {b, "LN"}, {"http://www.c.com/", "-L"}, {"http://www.d.com/", "LF"}});
    EXPECT_EQ(got.worse(), 3);
    EXPECT_EQ(got.summary(), "与 12-01 相比：2 个反链丢失，1 个加了 nofollow，1 个新增");
}

TEST_F(HistoryChangesTest, SummaryOfNoChange)
{
    EXPECT_EQ(changesOfLastDay({{a, "LL"}}).summary(), "与 12-01 相比：无变化");
}

TEST_F(HistoryChangesTest, ARecordedCheckIsComparedWithTheOneBeforeIt)
{
    const QList<FriendDays> friends{{a, "LNNL"}};
    QList<qint64> ids;
    for (int day = 0; day < 4; ++day)
        ids << record(siteCheck(friends, day));
    // The third day's check, recorded: against the second; its missing link began on the second.
    const auto third = siteChanges(m_store, siteCheck(friends, 2), ids[2]);
    ASSERT_TRUE(std::holds_alternative<SiteChanges>(third));
    const SiteChanges &got = std::get<SiteChanges>(third);
    EXPECT_EQ(got.comparedWith, dayStart(1));
    EXPECT_TRUE(got.changes.isEmpty());
    ASSERT_EQ(got.ongoing.size(), 1);
    EXPECT_EQ(got.ongoing[0].since, QDate(2026, 12, 2));
    // The newest, recorded, is not compared with itself.
    const auto last = siteChanges(m_store, siteCheck(friends, 3), ids[3]);
    ASSERT_TRUE(std::holds_alternative<SiteChanges>(last));
    ASSERT_EQ(std::get<SiteChanges>(last).changes.size(), 1);
    EXPECT_EQ(std::get<SiteChanges>(last).changes[0].code, kChangeBacklinkBack);
}

TEST_F(HistoryChangesTest, AStateOlderThanTheLookBackReadsAsBegunAtItsEnd)
{
    const QString links(kStateLookBack + 20, QLatin1Char('N'));
    const SiteChanges got = changesOfLastDay({{a, links}});
    ASSERT_EQ(got.ongoing.size(), 1);
    // The look-back reads kStateLookBack checks before this one and stops.
    const int days = int(links.size());
    EXPECT_EQ(got.ongoing[0].since, dayStart(days - 1 - kStateLookBack).date());
}

TEST_F(HistoryChangesTest, AClosedStoreIsSaid)
{
    m_store.close();
    const auto got = siteChanges(m_store, siteCheck({{a, "L"}}, 0));
    ASSERT_TRUE(std::holds_alternative<QString>(got));
    EXPECT_THAT(std::get<QString>(got).toStdString(), ::testing::HasSubstr("not open"));
}

TEST_F(HistoryChangesTest, TheStoreLooksBackAPageAtATime)
{
    const QList<FriendDays> friends{{a, "LNLNL"}, {b, "LL-LL"}};
    QList<qint64> ids;
    for (int day = 0; day < 5; ++day)
        ids << record(siteCheck(friends, day));
    const auto days = [](const QList<FriendPoint> &points) {
        QList<qint64> out;
        for (const FriendPoint &point : points)
            out << dayStart(0).daysTo(point.started);
        return out;
    };
    EXPECT_EQ(days(m_store.friendPointsBefore(kSite, b, 0, 10)), (QList<qint64>{4, 3, 1, 0}));
    EXPECT_EQ(days(m_store.friendPointsBefore(kSite, b, ids[4], 2)), (QList<qint64>{3, 1}));
    EXPECT_EQ(days(m_store.friendPointsBefore(kSite, b, ids[1], 2)), (QList<qint64>{0}));
    EXPECT_TRUE(m_store.friendPointsBefore(QStringLiteral("www.other.com"), b, 0, 10).isEmpty());
    EXPECT_TRUE(m_store.lastError().ok());

    EXPECT_EQ(m_store.latestCheckBefore(kSite)->id, ids[4]);
    EXPECT_EQ(m_store.latestCheckBefore(kSite, dayStart(3))->id, ids[2]);
    EXPECT_EQ(m_store.latestCheckBefore(kSite, dayStart(3).addMSecs(1))->id, ids[3]);
    EXPECT_FALSE(m_store.latestCheckBefore(kSite, dayStart(0)));
    EXPECT_TRUE(m_store.lastError().ok());
}

TEST(ChangeWords, LabelsAndTones)
{
    EXPECT_EQ(changeLabel(kChangeIndexDrop, "1230", "800"), "收录下降 35%");
    EXPECT_EQ(changeLabel(kChangeIndexDrop), "收录下降");
    EXPECT_EQ(changeLabel(kChangeRankLost), "首页不再第一");
    for (const QString &code : {kChangeRemoved, kChangeBacklinkLost, kChangeNofollowAdded, kChangeIndexDrop,
                                kChangeRankLost, kChangeUnreachable})
        EXPECT_EQ(changeTone(code), ChangeTone::Worse) << code.toStdString();
    for (const QString &code : {kChangeBacklinkBack, kChangeNofollowRemoved, kChangeRankBack, kChangeReachable})
        EXPECT_EQ(changeTone(code), ChangeTone::Better) << code.toStdString();
    EXPECT_EQ(changeTone(kChangeAdded), ChangeTone::Neutral);
}

TEST_F(HistoryChangesTest, ReadsTheSamplesOfAYearOfWatching)
{
    // Daily checks as the benchmark's samples write them: a friend in twenty loses its link on a day.
    for (int day = 0; day < 30; ++day)
        ASSERT_GT(m_store.record(samples::dailyCheck(kSite, day, 40)), 0);
    const std::optional<CheckSummary> last = m_store.latestCheckBefore(kSite);
    ASSERT_TRUE(last);
    const std::optional<CheckRecord> record = m_store.load(last->id);
    ASSERT_TRUE(record);
    auto current = recordedResult(*record);
    ASSERT_TRUE(std::holds_alternative<SiteResult>(current));
    const auto got = siteChanges(m_store, std::get<SiteResult>(current), last->id);
    ASSERT_TRUE(std::holds_alternative<SiteChanges>(got)) << std::get<QString>(got).toStdString();
    const SiteChanges &changes = std::get<SiteChanges>(got);
    EXPECT_EQ(changes.comparedWith, samples::dailyCheck(kSite, 28, 0).started);
    for (const RowState &state : changes.ongoing)
        EXPECT_LT(state.since, QDate(2026, 1, 30)) << state.lianjie.toStdString();
    // Every ninth friend's link back has nofollow: since the day after it was last missing.
    const auto missing = [](int day) { return samples::mix(quint32(9 * 7919 + day)) % 20 == 0; };
    int firstDay = 29;
    while (firstDay > 0 && !missing(firstDay - 1))
        --firstDay;
    const auto nofollow = std::find_if(changes.ongoing.begin(), changes.ongoing.end(), [](const RowState &state) {
        return state.lianjie == samples::friendAddress(9) && state.code == kChangeNofollowAdded;
    });
    if (missing(29) || missing(28)) {
        EXPECT_EQ(nofollow, changes.ongoing.end());
        return;
    }
    ASSERT_NE(nofollow, changes.ongoing.end());
    EXPECT_EQ(nofollow->since, QDate(2026, 1, 1).addDays(firstDay));
}

} // namespace
} // namespace friendlinks
