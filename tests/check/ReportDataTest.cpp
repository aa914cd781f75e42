// What a report gathers from a real history file: the latest check, the chart
// points of each friend, the notices and since when; a chart point from the
// typed values kept beside a row against the row read whole.
#include "check/ReportData.h"

#include "check/HistoryRecording.h"
#include "check/JsonFormat.h"
#include "check/JsonRead.h"
#include "check/HistoryTally.h"
#include "check/RowSchema.h"
#include "tests/common/HistorySamples.h"
#include "tests/common/QtPrinters.h"
#include "tests/common/ReportSamples.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace friendlinks {
namespace {

const QString kSite = QStringLiteral("www.me.com");
const QDateTime kFirstDay(QDate(2026, 12, 1), QTime(3, 0), Qt::UTC);

// A chart point from the typed values kept beside a row is the point of the row read back whole.
void expectSamePoint(const QByteArray &payload, bool modern)
{
    const auto whole = readRowJson(payload, modern);
    ASSERT_TRUE(std::holds_alternative<ResultRow>(whole)) << payload.toStdString();
    const ResultRow &row = std::get<ResultRow>(whole);
    SiteRows check;
    check.rows = {row};
    const RecordTally tally = tallyOf(check, nullptr);
    ASSERT_EQ(tally.rows.size(), 1);
    const QDate day(2026, 12, 1);
    EXPECT_EQ(trendPoint(std::optional<RowTally>(tally.rows[0]), day), trendPoint(row, day)) << payload.toStdString();
}

TEST(ReportTrendPointTest, FromTheTypedValuesAsFromTheRow)
{
    for (int friendIndex : {0, 1, 9, 17, 123})
        for (int day : {0, 5, 77, 300})
            expectSamePoint(samples::rowJson(friendIndex, day), true);
    const auto rows = {
        samples::reportRow(QStringLiteral("http://a.com/"), QStringLiteral("A"), QStringLiteral("没有链接"), true,
                           BackLinkVerdict::NoLink, 10),
        samples::reportRow(QStringLiteral("http://b.com/"), QStringLiteral("B\"}{"), QStringLiteral("访问太慢"), true,
                           BackLinkVerdict::NotRead, 0),
        samples::reportRow(QStringLiteral("http://c.com/"), QStringLiteral("C"), QStringLiteral("首页"), false,
                           BackLinkVerdict::Linked, 123456),
        ResultRow{},
    };
    for (ResultRow row : rows) {
        expectSamePoint(formatRowJson(row), false);
        row.facts.backlink = BackLinkFacts{QStringLiteral("http://www.me.com/"), {QStringLiteral("nofollow")}, false};
        expectSamePoint(formatRowJson(row), false);
        expectSamePoint(formatRowJson(row), true);
        row.facts.baidu.reset();
        expectSamePoint(formatRowJson(row), false);
    }
    // A row whose values could not be read when it was recorded: no count, not known.
    EXPECT_EQ(trendPoint(std::optional<RowTally>(), QDate(2026, 12, 1)),
              (TrendPoint{QDate(2026, 12, 1), {}, BackLinkVerdict::Unknown}));
}

class ReportDataTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(m_store.open(m_dir.filePath(QStringLiteral("history.sqlite"))));
    }

    // A check of kSite on day (from kFirstDay) with the given rows.
    void record(int day, const QList<ResultRow> &rows)
    {
        SiteResult result;
        result.outcome.site = kSite;
        result.outcome.home.status = 200;
        result.rows = rows;
        result.startedAt = kFirstDay.addDays(day);
        result.finishedAt = result.startedAt.addSecs(60);
        ASSERT_GT(m_store.record(checkRecord(result, QStringLiteral("8.0"))), 0) << m_store.lastError().reason.toStdString();
    }

    static ResultRow linked(const QString &lianjie, qint64 pages)
    {
        return samples::reportRow(lianjie, QStringLiteral("名字"), QStringLiteral("我的站"), false, BackLinkVerdict::Linked,
                                  pages);
    }
    static ResultRow lost(const QString &lianjie, qint64 pages)
    {
        return samples::reportRow(lianjie, QStringLiteral("名字"), QStringLiteral("没有链接"), true, BackLinkVerdict::NoLink,
                                  pages);
    }

    ReportData gathered(int trendChecks = kReportTrendChecks)
    {
        auto data = gatherReport(m_store, kSite, trendChecks);
        if (const auto *problem = std::get_if<ReportProblem>(&data)) {
            ADD_FAILURE() << problem->reason.toStdString();
            return {};
        }
        return std::get<ReportData>(std::move(data));
    }

    QTemporaryDir m_dir;
    HistoryStore m_store;
};

TEST_F(ReportDataTest, NothingRecorded)
{
    auto data = gatherReport(m_store, kSite);
    ASSERT_TRUE(std::holds_alternative<ReportProblem>(data));
    EXPECT_TRUE(std::get<ReportProblem>(data).noCheck);
    EXPECT_TRUE(std::get<ReportProblem>(data).reason.contains(kSite));
}

TEST_F(ReportDataTest, LatestCheckAndTrends)
{
    const QString a = QStringLiteral("http://a.com/"), b = QStringLiteral("http://b.com/"), c = QStringLiteral("http://c.com/");
    record(0, {linked(a, 100), linked(b, 50)});
    record(1, {linked(a, 120), lost(b, 40)});
    record(2, {linked(a, 90), lost(b, 40), linked(c, 7)});
    const ReportData data = gathered();
    EXPECT_EQ(data.site, kSite);
    EXPECT_EQ(data.checks, 3);
    EXPECT_TRUE(data.hasEarlier);
    EXPECT_EQ(data.comparedWith, kFirstDay.addDays(1));
    ASSERT_EQ(data.latest.rows.size(), 3);
    EXPECT_TRUE(data.latest.rows[1].cells[Column::fanlian].red);
    EXPECT_EQ(data.latest.startedAt, kFirstDay.addDays(2));

    ASSERT_EQ(data.trends.size(), 3);
    const QDate day0 = kFirstDay.date();
    EXPECT_EQ(data.trends[0], (FriendTrend{a, {{day0, 100, BackLinkVerdict::Linked}, {day0.addDays(1), 120, BackLinkVerdict::Linked},
                                               {day0.addDays(2), 90, BackLinkVerdict::Linked}}}));
    EXPECT_EQ(data.trends[1].points[1], (TrendPoint{day0.addDays(1), 40, BackLinkVerdict::NoLink}));
    // Not in the earlier checks: no point there.
    EXPECT_EQ(data.trends[2].points[0], (TrendPoint{day0, {}, BackLinkVerdict::Unknown}));
    EXPECT_EQ(data.trends[2].points[2].pages, IndexPages(7));

    ASSERT_EQ(data.notices.size(), 3);
    EXPECT_EQ(data.notices[0].kind, NoticeKind::Fine);
    EXPECT_EQ(data.notices[1].kind, NoticeKind::Missing);
    EXPECT_EQ(data.notices[1].since, day0.addDays(1)); // lost at the second check, still lost
    EXPECT_EQ(data.notices[1].cellText, QStringLiteral("没有链接"));
}

TEST_F(ReportDataTest, TrendsReachBackSoFar)
{
    for (int day = 0; day < 5; ++day)
        record(day, {linked(QStringLiteral("http://a.com/"), 100 + day)});
    const ReportData data = gathered(2);
    ASSERT_EQ(data.trends.size(), 1);
    ASSERT_EQ(data.trends[0].points.size(), 2);
    EXPECT_EQ(data.trends[0].points[0].pages, IndexPages(103));
    EXPECT_EQ(data.checks, 5);
}

TEST_F(ReportDataTest, OneCheckHasNoEarlier)
{
    record(0, {lost(QStringLiteral("http://a.com/"), 5)});
    const ReportData data = gathered();
    EXPECT_FALSE(data.hasEarlier);
    ASSERT_EQ(data.notices.size(), 1);
    EXPECT_EQ(data.notices[0].since, kFirstDay.date());
}

TEST(ReportNoticesTest, SinceFromChangesFirst)
{
    ReportData data = samples::hostileReport();
    const QString address = data.latest.rows[1].cells[Column::lianjie].text;
    data.changes.clear();
    data.ongoing = {ReportOngoing{address, kChangeBacklinkLost, QStringLiteral("反链丢失"), QDate(2026, 10, 1)}};
    const QList<PartnerNotice> notices = partnerNotices(data);
    EXPECT_EQ(notices[1].since, QDate(2026, 10, 1));
    // Without a change, from the chart: lost from day 20 of 30.
    data.ongoing.clear();
    EXPECT_EQ(partnerNotices(data)[1].since, QDate(2026, 12, 9).addDays(-9));
}

TEST(ReportNoticesTest, NofollowIsToldInEitherMode)
{
    ReportData data = samples::hostileReport();
    ResultRow row = samples::reportRow(QStringLiteral("http://n.com/"), QStringLiteral("N"), QStringLiteral("我的站"), false,
                                       BackLinkVerdict::Linked, 10);
    row.facts.backlink = BackLinkFacts{QStringLiteral("http://www.me.com/"), {QStringLiteral("nofollow")}, false};
    data.latest.rows = {row};
    data.trends.clear();
    data.changes.clear();
    data.ongoing.clear();
    const QList<PartnerNotice> notices = partnerNotices(data);
    ASSERT_EQ(notices.size(), 1);
    EXPECT_EQ(notices[0].kind, NoticeKind::Nofollow);
}

TEST(ReportNoticesTest, FriendByAddress)
{
    ReportData data;
    data.notices = {PartnerNotice{QStringLiteral("http://www.a.com/"), {}, NoticeKind::Missing, {}, {}},
                    PartnerNotice{QStringLiteral("https://B.com/blog/"), {}, NoticeKind::Fine, {}, {}},
                    PartnerNotice{QStringLiteral("http://a.com:8080/"), {}, NoticeKind::Fine, {}, {}}};
    const struct {
        const char *given;
        const char *found; // nullptr: none
    } table[] = {
        {"http://www.a.com/", "http://www.a.com/"}, {"www.a.com", "http://www.a.com/"}, {"A.COM", "http://www.a.com/"},
        {"https://a.com", "http://www.a.com/"},     {"b.com/blog", "https://B.com/blog/"}, {"a.com:8080", "http://a.com:8080/"},
        {"b.com", nullptr},                         {"c.com", nullptr},
    };
    for (const auto &row : table) {
        const std::optional<PartnerNotice> notice = noticeFor(data, QString::fromUtf8(row.given));
        EXPECT_EQ(notice ? notice->lianjie : QString(), row.found ? QString::fromUtf8(row.found) : QString()) << row.given;
    }
}

} // namespace
} // namespace friendlinks
