// `friendlinks history`: the recorded checks of a site in each format, at a given clock and time
// zone; --prune; the usage errors; a history that cannot be read.
#include "cli/HistoryCommand.h"

#include "check/CheckRules.h"
#include "check/HistoryRecording.h"
#include "check/HistoryStore.h"
#include "cli/Commands.h"
#include "cli/Usage.h"
#include "probes/BaiduProbe.h"
#include "tests/common/HistorySamples.h"
#include "tests/common/QtPrinters.h"

#include <QDir>
#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace friendlinks {
namespace {

const QDateTime kNow(QDate(2026, 12, 9), QTime(3, 50), Qt::UTC);
const QTimeZone kBeijing(8 * 3600);

// A check of site started daysAgo before kNow, with rows rows of which red have the back link red.
SiteResult checkOf(const QString &site, int daysAgo, int rows, int red, bool modern = false)
{
    QList<ResultRow> made;
    for (int i = 0; i < rows; ++i) {
        ResultRow row;
        row.cells[Column::lianjie].text = QStringLiteral("http://www.f%1.com/").arg(i);
        row.cells[Column::fanlian] = Cell{i < red ? QStringLiteral("没有链接") : QStringLiteral("首页之家"), i < red};
        made << row;
    }
    return samples::siteCheck(site, kNow.addDays(-daysAgo).addSecs(-3600), made, modern, 95);
}

class HistoryCommandTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_history.ready()); }

    [[nodiscard]] QString path() const { return m_history.path(); }
    void recordAll(const QList<SiteResult> &results) { ASSERT_EQ(m_history.recordAll(results), QString()); }

    // `friendlinks history ARGUMENTS... --history FILE` at kNow in Beijing time; the exit status.
    int history(const QStringList &arguments, QIODevice *out = nullptr)
    {
        return m_history.run(QStringLiteral("history"), arguments, out,
                             [](const ParsedArguments &parsed, QIODevice *to, QIODevice *err) {
                                 return runHistory(parsed.historyQuery, parsed.options.history, to, err, {kNow, kBeijing});
                             });
    }

    [[nodiscard]] QString out() const { return m_history.out(); }
    [[nodiscard]] QString err() const { return m_history.err(); }

    samples::HistoryCommandRun m_history;
};

TEST_F(HistoryCommandTest, ListsTheSitesChecksNewestFirstInEachFormat)
{
    SiteResult gone = checkOf("www.me.com", 1, 0, 0);
    gone.outcome.reachable = false;
    gone.outcome.home.status = 0;
    SiteResult notFound = checkOf("www.me.com", 2, 1, 0);
    notFound.outcome.home.status = 404;
    recordAll({checkOf("www.me.com", 3, 12, 2), checkOf("www.other.cn", 0, 5, 5), notFound, gone,
               checkOf("www.me.com", 0, 12, 1, true)});
    const std::pair<const char *, const char *> formats[] = {
        // Changes against the check before: a home page's 404 is one worse change of the site, a
        // second failure none, answering again one better; the first check has nothing to compare.
        {"table", "时间              模式     行数  标红  状态               变化  变差  变好\n"
                  "2026-12-09 10:50  modern   12    1                        1     0     1\n"
                  "2026-12-08 10:50  classic  0     0     无法访问           0     0     0\n"
                  "2026-12-07 10:50  classic  1     0     首页返回 HTTP 404  1     1     0\n"
                  "2026-12-06 10:50  classic  12    2\n"},
        {"tsv", "时间\t模式\t行数\t标红\t状态\t变化\t变差\t变好\n"
                "2026-12-09 10:50\tmodern\t12\t1\t\t1\t0\t1\n"
                "2026-12-08 10:50\tclassic\t0\t0\t无法访问\t0\t0\t0\n"
                "2026-12-07 10:50\tclassic\t1\t0\t首页返回 HTTP 404\t1\t1\t0\n"
                "2026-12-06 10:50\tclassic\t12\t2\t\t\t\t\n"},
        {"csv", "\xEF\xBB\xBF时间,模式,行数,标红,状态,变化,变差,变好\r\n"
                "2026-12-09 10:50,modern,12,1,,1,0,1\r\n"
                "2026-12-08 10:50,classic,0,0,无法访问,0,0,0\r\n"
                "2026-12-07 10:50,classic,1,0,首页返回 HTTP 404,1,1,0\r\n"
                "2026-12-06 10:50,classic,12,2,,,,\r\n"},
        {"json", "{\"site\": \"www.me.com\", \"checks\": [\n"
                 "  {\"id\": 5, \"started\": \"2026-12-09T02:50:00.000Z\", \"finished\": \"2026-12-09T02:51:35.000Z\", "
                 "\"mode\": \"modern\", \"rows\": 12, \"red\": 1, \"unreachable\": false, \"home_status\": 200, \"version\": \"8.0\", "
                 "\"changes\": 1, \"worse\": 0, \"better\": 1, \"compared_with\": 4},\n"
                 "  {\"id\": 4, \"started\": \"2026-12-08T02:50:00.000Z\", \"finished\": \"2026-12-08T02:51:35.000Z\", "
                 "\"mode\": \"classic\", \"rows\": 0, \"red\": 0, \"unreachable\": true, \"home_status\": 0, \"version\": \"8.0\", "
                 "\"changes\": 0, \"worse\": 0, \"better\": 0, \"compared_with\": 3},\n"
                 "  {\"id\": 3, \"started\": \"2026-12-07T02:50:00.000Z\", \"finished\": \"2026-12-07T02:51:35.000Z\", "
                 "\"mode\": \"classic\", \"rows\": 1, \"red\": 0, \"unreachable\": false, \"home_status\": 404, \"version\": \"8.0\", "
                 "\"changes\": 1, \"worse\": 1, \"better\": 0, \"compared_with\": 1},\n"
                 "  {\"id\": 1, \"started\": \"2026-12-06T02:50:00.000Z\", \"finished\": \"2026-12-06T02:51:35.000Z\", "
                 "\"mode\": \"classic\", \"rows\": 12, \"red\": 2, \"unreachable\": false, \"home_status\": 200, \"version\": \"8.0\", "
                 "\"changes\": 0, \"worse\": 0, \"better\": 0, \"compared_with\": null}\n"
                 "]}\n"},
    };
    for (const auto &[format, expected] : formats) {
        EXPECT_EQ(history({"www.me.com", "--format", format}), 0);
        EXPECT_EQ(out(), QString::fromUtf8(expected)) << format;
        EXPECT_EQ(err(), "");
    }
    EXPECT_EQ(history({"WWW.Other.CN"}), 0) << "a modern check's host is found as typed";
    EXPECT_TRUE(out().contains("2026-12-09 10:50  classic  5     5")) << out().toStdString();
}

// A friend's row with what --friend shows: its back link (and whether it passes weight), index count, rank, status.
ResultRow friendRow(const QString &address, bool linked, bool follow, qint64 pages, bool first, int status)
{
    ResultRow row;
    row.cells[Column::lianjie].text = address;
    row.cells[Column::fanlian] = linked ? Cell{QStringLiteral("首页之家"), false} : Cell{kNoLink, true};
    row.cells[Column::shoulu].text = QStringLiteral("约%1篇").arg(pages);
    row.cells[Column::rp] = first ? Cell{kHomePageFirst, false} : Cell{kNotFirst, true};
    row.facts.status = status;
    if (linked)
        row.facts.backlink = BackLinkFacts{QStringLiteral("http://www.me.com/"),
                                           follow ? QStringList() : QStringList{QStringLiteral("nofollow")}, follow};
    row.facts.baidu = BaiduFacts{BaiduState::Ok, QString::number(pages), pages,
                                 first ? RankVerdict::HomeFirst : RankVerdict::NotFirst, {}};
    return row;
}

TEST_F(HistoryCommandTest, OneFriendsLineThroughTheChecksInEachFormat)
{
    const QString f0 = QStringLiteral("http://www.f0.com/");
    QList<SiteResult> days;
    for (const ResultRow &row : {friendRow(f0, true, true, 1230, true, 200), friendRow(f0, false, true, 1230, true, 0),
                                 friendRow(f0, true, false, 402, false, 404)}) {
        SiteResult check = checkOf("www.me.com", 3 - int(days.size()), 0, 0);
        check.rows = {friendRow(QStringLiteral("http://www.f1.com/"), true, true, 9, true, 200), row};
        days << check;
    }
    days << checkOf("www.me.com", 0, 0, 0); // a check without the friend
    recordAll(days);
    const std::pair<const char *, const char *> formats[] = {
        {"table", "时间              反链      跟踪      收录  排名            状态\n"
                  "2026-12-06 10:50  有        follow    1230  首页第一        200\n"
                  "2026-12-07 10:50  没有链接            1230  首页第一\n"
                  "2026-12-08 10:50  有        nofollow  402   注意：不在第一  404\n"},
        {"tsv", "时间\t反链\t跟踪\t收录\t排名\t状态\n"
                "2026-12-06 10:50\t有\tfollow\t1230\t首页第一\t200\n"
                "2026-12-07 10:50\t没有链接\t\t1230\t首页第一\t\n"
                "2026-12-08 10:50\t有\tnofollow\t402\t注意：不在第一\t404\n"},
        {"csv", "\xEF\xBB\xBF时间,反链,跟踪,收录,排名,状态\r\n"
                "2026-12-06 10:50,有,follow,1230,首页第一,200\r\n"
                "2026-12-07 10:50,没有链接,,1230,首页第一,\r\n"
                "2026-12-08 10:50,有,nofollow,402,注意：不在第一,404\r\n"},
        {"json", "{\"site\": \"www.me.com\", \"friend\": \"http://www.f0.com/\", \"checks\": [\n"
                 "  {\"id\": 1, \"started\": \"2026-12-06T02:50:00.000Z\", \"backlink\": \"linked\", \"follow\": true, "
                 "\"pages\": 1230, \"rank\": \"first\", \"status\": 200},\n"
                 "  {\"id\": 2, \"started\": \"2026-12-07T02:50:00.000Z\", \"backlink\": \"no_link\", \"follow\": null, "
                 "\"pages\": 1230, \"rank\": \"first\", \"status\": 0},\n"
                 "  {\"id\": 3, \"started\": \"2026-12-08T02:50:00.000Z\", \"backlink\": \"linked\", \"follow\": false, "
                 "\"pages\": 402, \"rank\": \"not_first\", \"status\": 404}\n"
                 "]}\n"},
    };
    for (const auto &[format, expected] : formats) {
        // As typed: without the scheme and the closing slash, the host in capitals.
        for (const char *typed : {"http://www.f0.com/", "www.f0.com", "WWW.F0.com"}) {
            EXPECT_EQ(history({"www.me.com", "--friend", typed, "--format", format}), 0);
            EXPECT_EQ(out(), QString::fromUtf8(expected)) << format << " " << typed;
            EXPECT_EQ(err(), "");
        }
    }
    EXPECT_EQ(history({"www.me.com", "--friend", "www.nobody.com", "--format", "json"}), 0);
    EXPECT_EQ(out(), "{\"site\": \"www.me.com\", \"friend\": \"www.nobody.com\", \"checks\": []}\n");
    EXPECT_EQ(err(), QStringLiteral("friendlinks history: no recorded check of www.me.com in %1 has the friend www.nobody.com\n")
                         .arg(path()));
    EXPECT_EQ(history({"www.other.cn", "--friend", "www.f0.com"}), 0);
    EXPECT_EQ(out(), "");
}

TEST_F(HistoryCommandTest, CsvCellsAreQuotedAndSafeForSpreadsheetsAsChecksAre)
{
    // A history another program wrote into: its mode a formula with a comma and quotes.
    CheckRecord record = checkRecord(checkOf("www.me.com", 1, 2, 1), QStringLiteral("8.0"));
    record.mode = QStringLiteral("=HYPERLINK(\"http://evil/\",\"x\")");
    {
        HistoryStore store;
        ASSERT_TRUE(store.open(path()));
        ASSERT_GT(store.record(record), 0) << store.lastError().reason.toStdString();
    }
    EXPECT_EQ(history({"www.me.com", "--format", "csv"}), 0);
    EXPECT_EQ(m_history.outBytes(), QByteArray("\xEF\xBB\xBF时间,模式,行数,标红,状态,变化,变差,变好\r\n"
                                       "2026-12-08 10:50,\"'=HYPERLINK(\"\"http://evil/\"\",\"\"x\"\")\",2,1,,,,\r\n"));
}

TEST_F(HistoryCommandTest, NothingRecordedIsSaidAndAMissingFileIsNotMade)
{
    EXPECT_EQ(history({"www.me.com"}), 0);
    EXPECT_EQ(out(), "");
    EXPECT_EQ(err(), QStringLiteral("friendlinks history: no check of www.me.com is recorded in %1\n").arg(path()));
    EXPECT_EQ(history({"www.me.com", "--format", "json"}), 0);
    EXPECT_EQ(out(), "{\"site\": \"www.me.com\", \"checks\": []}\n");
    EXPECT_EQ(history({"--prune", "30"}), 0);
    EXPECT_EQ(out(), "删除了 0 次早于 2026-11-09 11:50 的检查\n");
    EXPECT_FALSE(QFile::exists(path()));
}

TEST_F(HistoryCommandTest, PruneDropsEveryChecksOlderThanTheDaysAndSaysHowMany)
{
    recordAll({checkOf("www.me.com", 40, 3, 0), checkOf("www.other.cn", 31, 3, 0), checkOf("www.me.com", 29, 3, 0),
               checkOf("www.me.com", 1, 3, 0)});
    EXPECT_EQ(history({"--prune", "30"}), 0);
    EXPECT_EQ(out(), "删除了 2 次早于 2026-11-09 11:50 的检查\n");
    EXPECT_EQ(history({"www.me.com", "--format", "tsv"}), 0);
    EXPECT_EQ(out().count('\n'), 3) << out().toStdString();
    EXPECT_EQ(history({"www.other.cn"}), 0);
    EXPECT_EQ(out(), "") << "its only check was older";
    EXPECT_EQ(history({"--prune", "0"}), 0);
    EXPECT_EQ(out(), "删除了 2 次早于 2026-12-09 11:50 的检查\n");
}

TEST_F(HistoryCommandTest, PruneDropsBaiduAnswersAskedBeforeTheDaysToo)
{
    recordAll({checkOf("www.me.com", 40, 3, 0), checkOf("www.me.com", 1, 3, 0)});
    const QString mode = QStringLiteral("classic");
    const QString old = QStringLiteral("http://www.baidu.com/s?wd=site:www.old.com/");
    const QString recent = QStringLiteral("http://www.baidu.com/s?wd=site:www.recent.com/");
    {
        HistoryStore store;
        ASSERT_TRUE(store.open(path()));
        ASSERT_TRUE(store.recordBaiduAnswer(old, mode, kNow.addDays(-31), "{}"));
        ASSERT_TRUE(store.recordBaiduAnswer(recent, mode, kNow.addDays(-29), "{}"));
    }
    EXPECT_EQ(history({"--prune", "30"}), 0);
    EXPECT_EQ(out(), "删除了 1 次早于 2026-11-09 11:50 的检查\n");
    HistoryStore store;
    ASSERT_TRUE(store.open(path()));
    EXPECT_FALSE(store.baiduAnswer(old, mode));
    EXPECT_TRUE(store.baiduAnswer(recent, mode));
    EXPECT_TRUE(store.lastError().ok());
    store.close();
    EXPECT_EQ(history({"--prune", "0"}), 0);
    ASSERT_TRUE(store.open(path()));
    EXPECT_FALSE(store.baiduAnswer(recent, mode));
}

TEST_F(HistoryCommandTest, AHistoryThatCannotBeReadIsSaidWithExitFour)
{
    QFile garbage(path());
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(8192, 'x'));
    garbage.close();
    for (const QStringList &arguments : {QStringList{"www.me.com"}, QStringList{"--prune", "3"}}) {
        EXPECT_EQ(history(arguments), kExitOutputFailed);
        EXPECT_EQ(out(), "");
        EXPECT_EQ(err(), QStringLiteral("friendlinks: 无法读取历史：%1 is not a friendlinks history (not an SQLite database)\n")
                             .arg(QDir::toNativeSeparators(path())));
    }
    QFile::remove(path());
    recordAll({checkOf("www.me.com", 1, 3, 0)});
    QFile full(QStringLiteral("/dev/full"));
    ASSERT_TRUE(full.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    EXPECT_EQ(history({"www.me.com"}, &full), kExitOutputFailed);
    EXPECT_TRUE(err().startsWith("friendlinks: 无法写出结果：")) << err().toStdString();
}

TEST(HistoryArguments, UsageErrorsAreNamed)
{
    const std::pair<QStringList, const char *> bad[] = {
        {{"history"}, "history needs one SITE (or --prune DAYS)"},
        {{"history", "a.com", "b.com"}, "history needs one SITE (or --prune DAYS)"},
        {{"history", "a.com", "--prune", "3"}, "history takes a SITE or --prune DAYS, not both"},
        {{"history", "--prune", "x"}, "--prune must be a number of days from 0 to 36600"},
        {{"history", "--prune", "-1"}, "--prune must be a number of days from 0 to 36600"},
        {{"history", "a.com", "--format", "xml"}, "--format must be table, tsv, csv or json, not \"xml\""},
        {{"history", "a.com", "--friend", " "}, "--friend needs the friend's address"},
        {{"history", "--prune", "3", "--friend", "b.com"}, "--friend goes with a SITE, not with --prune"},
        {{"diff", "a.json", "b.json", "--friend", "b.com"}, "unknown option --friend"},
        {{"history", "a.com", "--no-history"}, "unknown option --no-history"},
        {{"history", "a.com", "--history", ""}, "--history needs a file name"},
        {{"history", " "}, "the site is empty"},
    };
    for (const auto &[arguments, error] : bad) {
        const ParsedArguments parsed = parseArguments(arguments);
        EXPECT_EQ(parsed.action, ParsedArguments::Action::UsageError) << arguments.join(' ').toStdString();
        EXPECT_EQ(parsed.error, QString::fromUtf8(error)) << arguments.join(' ').toStdString();
    }
    const ParsedArguments good = parseArguments({"history", "a.com", "--format=json", "--history", "h.sqlite"});
    ASSERT_EQ(good.action, ParsedArguments::Action::Run) << good.error.toStdString();
    EXPECT_EQ(good.historyQuery.sites, QStringList{"a.com"});
    EXPECT_EQ(good.historyQuery.format, HistoryQuery::Format::Json);
    EXPECT_EQ(good.options.history.file, "h.sqlite");
    EXPECT_TRUE(usageText().contains("friendlinks history --prune DAYS"));
}

} // namespace
} // namespace friendlinks
