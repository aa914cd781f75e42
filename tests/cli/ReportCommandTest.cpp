// `friendlinks report`: the HTML report of a site's latest recorded check and
// one partner's notice, from a real history file; the exit statuses and what
// stderr says; the usage errors.
#include "cli/ReportCommand.h"

#include "check/HistoryRecording.h"
#include "cli/Commands.h"
#include "cli/Usage.h"
#include "tests/common/HistorySamples.h"
#include "tests/common/QtPrinters.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace friendlinks {
namespace {

const QDateTime kFirst(QDate(2026, 12, 1), QTime(3, 0), Qt::UTC);
const QTimeZone kBeijing(8 * 3600);

ResultRow row(const QString &lianjie, const QString &name, bool linked)
{
    ResultRow result;
    result.cells[Column::lianjie].text = lianjie;
    result.cells[Column::guanjianzi].text = name;
    result.cells[Column::fanlian] = Cell{linked ? QStringLiteral("我的站") : QStringLiteral("没有链接"), !linked};
    result.cells[Column::shoulu].text = QStringLiteral("约1,200篇");
    return result;
}

SiteResult checkOn(const QString &site, int day, const QList<ResultRow> &rows, bool modern = false)
{
    return samples::siteCheck(site, kFirst.addDays(day), rows, modern, 30);
}

class ReportCommandTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_history.ready()); }

    [[nodiscard]] QString path() const { return m_history.path(); }
    void recordAll(const QList<SiteResult> &results) { ASSERT_EQ(m_history.recordAll(results), QString()); }

    // `friendlinks report ARGUMENTS... --history FILE` in Beijing time; the exit status.
    int report(const QStringList &arguments, QIODevice *out = nullptr)
    {
        return m_history.run(QStringLiteral("report"), arguments, out,
                             [](const ParsedArguments &parsed, QIODevice *to, QIODevice *err) {
                                 return runReport(parsed.reportQuery, parsed.options.history, to, err, kBeijing);
                             });
    }

    [[nodiscard]] QString out() const { return m_history.out(); }
    [[nodiscard]] QString err() const { return m_history.err(); }

    samples::HistoryCommandRun m_history;
};

TEST_F(ReportCommandTest, TheLatestCheckOfTheSite)
{
    const QString a = QStringLiteral("http://www.a.com/"), b = QStringLiteral("http://www.b.com/");
    recordAll({checkOn("www.me.com", 0, {row(a, "甲", true), row(b, "乙", true)}),
               checkOn("www.other.com", 1, {row(a, "别的", false)}),
               checkOn("www.me.com", 2, {row(a, "甲", true), row(b, "乙", false)})});
    EXPECT_EQ(report({"www.me.com"}), 0);
    EXPECT_EQ(err(), "");
    EXPECT_TRUE(out().startsWith("<!DOCTYPE html>"));
    EXPECT_TRUE(out().contains("检查时间 2026-12-03 11:00 · 经典模式 · 友链 2 个 · 标红 1 处 · 已记录 2 次检查"));
    EXPECT_TRUE(out().contains("<h2>与上次检查（2026-12-01 11:00）相比</h2>"));
    EXPECT_TRUE(out().contains("<h3>致 乙（http://www.b.com/） 的站长</h3>"));
    EXPECT_TRUE(out().contains("您站上指向我站的链接自 12-03 起不见了。"));
    EXPECT_FALSE(out().contains("别的"));
}

TEST_F(ReportCommandTest, OneFriendsNotice)
{
    recordAll({checkOn("www.me.com", 0, {row("http://www.a.com/", "甲", true), row("http://www.b.com/", "乙", false)})});
    EXPECT_EQ(report({"www.me.com", "--friend", "b.com"}), 0);
    EXPECT_EQ(out().count("<article"), 1);
    EXPECT_TRUE(out().contains("您站上指向我站的链接自 12-01 起不见了。"));
    EXPECT_FALSE(out().contains("id=\"latest\""));
    EXPECT_EQ(report({"www.me.com", "--friend", "http://www.a.com/"}), 0);
    EXPECT_TRUE(out().contains("您站上指向我站的链接一切正常，谢谢！"));

    EXPECT_EQ(report({"www.me.com", "--friend", "c.com"}), 2);
    EXPECT_EQ(out(), "");
    EXPECT_EQ(err(), "friendlinks report: c.com is not a friend link in the latest check of www.me.com (2026-12-01 11:00)\n");
}

TEST_F(ReportCommandTest, AModernChecksHostIsFoundAsTyped)
{
    recordAll({checkOn("www.me.com", 0, {row("http://www.a.com/", "甲", true)}, true)});
    EXPECT_EQ(report({"WWW.Me.com"}), 0) << err().toStdString();
    EXPECT_TRUE(out().contains("现代模式"));
}

TEST_F(ReportCommandTest, NothingRecordedIsSaidAndAMissingFileIsNotMade)
{
    EXPECT_EQ(report({"www.me.com"}), 2);
    EXPECT_EQ(out(), "");
    EXPECT_EQ(err(), QStringLiteral("friendlinks report: no check of www.me.com is recorded in %1\n")
                         .arg(QDir::toNativeSeparators(path())));
    EXPECT_FALSE(QFile::exists(path()));
    recordAll({checkOn("www.other.com", 0, {})});
    EXPECT_EQ(report({"www.me.com"}), 2);
    EXPECT_TRUE(err().contains("no check of www.me.com"));
}

TEST_F(ReportCommandTest, AHistoryThatCannotBeReadIsSaidWithExitFour)
{
    QFile garbage(path());
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(8192, 'x'));
    garbage.close();
    EXPECT_EQ(report({"www.me.com"}), kExitOutputFailed);
    EXPECT_EQ(out(), "");
    EXPECT_EQ(err(), QStringLiteral("friendlinks: 无法读取历史：%1 is not a friendlinks history (not an SQLite database)\n")
                         .arg(QDir::toNativeSeparators(path())));
    QFile::remove(path());
    recordAll({checkOn("www.me.com", 0, {row("http://www.a.com/", "甲", true)})});
    QFile full(QStringLiteral("/dev/full"));
    ASSERT_TRUE(full.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    EXPECT_EQ(report({"www.me.com"}, &full), kExitOutputFailed);
    EXPECT_TRUE(err().startsWith("friendlinks: 无法写出结果：")) << err().toStdString();
}

TEST(ReportArguments, UsageErrorsAreNamed)
{
    const std::pair<QStringList, const char *> bad[] = {
        {{"report"}, "report needs one SITE"},
        {{"report", "a.com", "b.com"}, "report needs one SITE"},
        {{"report", " "}, "the site is empty"},
        {{"report", "a.com", "--friend"}, "--friend needs a value"},
        {{"report", "a.com", "--friend", " "}, "--friend needs the friend's address"},
        {{"report", "a.com", "--format", "json"}, "unknown option --format"},
        {{"report", "a.com", "--history", ""}, "--history needs a file name"},
    };
    for (const auto &[arguments, error] : bad) {
        const ParsedArguments parsed = parseArguments(arguments);
        EXPECT_EQ(parsed.action, ParsedArguments::Action::UsageError) << arguments.join(' ').toStdString();
        EXPECT_EQ(parsed.error, QString::fromUtf8(error)) << arguments.join(' ').toStdString();
    }
    const ParsedArguments good = parseArguments({"report", "a.com", "--friend=b.com", "--history", "h.sqlite"});
    ASSERT_EQ(good.action, ParsedArguments::Action::Run) << good.error.toStdString();
    EXPECT_EQ(good.reportQuery.sites, QStringList{"a.com"});
    EXPECT_EQ(good.reportQuery.friendAddress, "b.com");
    EXPECT_EQ(good.options.history.file, "h.sqlite");
    EXPECT_TRUE(usageText().contains("friendlinks report SITE [--friend URL]"));
    EXPECT_TRUE(parseArguments({"report", "--help"}).help.startsWith("usage: friendlinks report SITE"));
}

} // namespace
} // namespace friendlinks
