// `friendlinks history`: the recorded checks of a site in each format, at a given clock and time
// zone; --prune; the usage errors; a history that cannot be read.
#include "cli/HistoryCommand.h"

#include "check/HistoryRecording.h"
#include "cli/Commands.h"
#include "cli/Usage.h"
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
    SiteResult result;
    result.outcome.site = site;
    result.outcome.modern = modern;
    result.outcome.home.status = 200;
    for (int i = 0; i < rows; ++i) {
        ResultRow row;
        row.cells[Column::lianjie].text = QStringLiteral("http://www.f%1.com/").arg(i);
        row.cells[Column::fanlian] = Cell{i < red ? QStringLiteral("没有链接") : QStringLiteral("首页之家"), i < red};
        result.rows << row;
    }
    result.startedAt = kNow.addDays(-daysAgo).addSecs(-3600);
    result.finishedAt = result.startedAt.addSecs(95);
    return result;
}

class HistoryCommandTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    [[nodiscard]] QString path() const { return m_dir.filePath(QStringLiteral("history.sqlite")); }

    void recordAll(const QList<SiteResult> &results)
    {
        HistoryRecorder recorder(path(), QStringLiteral("8.0"));
        for (const SiteResult &result : results)
            ASSERT_TRUE(recorder.record(result)) << recorder.failure().reason.toStdString();
    }

    // `friendlinks history ARGUMENTS... --history FILE` at kNow in Beijing time; the exit status.
    int history(QStringList arguments, QIODevice *out = nullptr)
    {
        arguments.prepend(QStringLiteral("history"));
        arguments << QStringLiteral("--history") << path();
        const ParsedArguments parsed = parseArguments(arguments);
        EXPECT_EQ(parsed.action, ParsedArguments::Action::Run) << parsed.error.toStdString();
        for (QBuffer *buffer : {&m_out, &m_err}) {
            buffer->close();
            buffer->setData({});
            buffer->open(QIODevice::WriteOnly);
        }
        return runHistory(parsed.historyQuery, parsed.options.history, out ? out : &m_out, &m_err, {kNow, kBeijing});
    }

    [[nodiscard]] QString out() const { return QString::fromUtf8(m_out.data()); }
    [[nodiscard]] QString err() const { return QString::fromUtf8(m_err.data()); }

    QTemporaryDir m_dir;
    QBuffer m_out;
    QBuffer m_err;
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
        {"table", "时间              模式     行数  标红  状态\n"
                  "2026-12-09 10:50  modern   12    1\n"
                  "2026-12-08 10:50  classic  0     0     无法访问\n"
                  "2026-12-07 10:50  classic  1     0     首页返回 HTTP 404\n"
                  "2026-12-06 10:50  classic  12    2\n"},
        {"tsv", "时间\t模式\t行数\t标红\t状态\n"
                "2026-12-09 10:50\tmodern\t12\t1\t\n"
                "2026-12-08 10:50\tclassic\t0\t0\t无法访问\n"
                "2026-12-07 10:50\tclassic\t1\t0\t首页返回 HTTP 404\n"
                "2026-12-06 10:50\tclassic\t12\t2\t\n"},
        {"json", "{\"site\": \"www.me.com\", \"checks\": [\n"
                 "  {\"id\": 5, \"started\": \"2026-12-09T02:50:00.000Z\", \"finished\": \"2026-12-09T02:51:35.000Z\", "
                 "\"mode\": \"modern\", \"rows\": 12, \"red\": 1, \"unreachable\": false, \"home_status\": 200, \"version\": \"8.0\"},\n"
                 "  {\"id\": 4, \"started\": \"2026-12-08T02:50:00.000Z\", \"finished\": \"2026-12-08T02:51:35.000Z\", "
                 "\"mode\": \"classic\", \"rows\": 0, \"red\": 0, \"unreachable\": true, \"home_status\": 0, \"version\": \"8.0\"},\n"
                 "  {\"id\": 3, \"started\": \"2026-12-07T02:50:00.000Z\", \"finished\": \"2026-12-07T02:51:35.000Z\", "
                 "\"mode\": \"classic\", \"rows\": 1, \"red\": 0, \"unreachable\": false, \"home_status\": 404, \"version\": \"8.0\"},\n"
                 "  {\"id\": 1, \"started\": \"2026-12-06T02:50:00.000Z\", \"finished\": \"2026-12-06T02:51:35.000Z\", "
                 "\"mode\": \"classic\", \"rows\": 12, \"red\": 2, \"unreachable\": false, \"home_status\": 200, \"version\": \"8.0\"}\n"
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
        {{"history", "a.com", "--format", "csv"}, "--format must be table, tsv or json, not \"csv\""},
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
