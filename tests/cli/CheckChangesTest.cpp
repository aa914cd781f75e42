// `check --changes` and `--changes-only` against the site's previous recorded check, and
// `diff SITE [--since DATE]` over the history: what they write, in each format, and their exit statuses.
#include "check/HistoryStore.h"
#include "tests/common/CommandRun.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gmock/gmock.h>

#include <sqlite3.h>

namespace friendlinks {
namespace {

using ::testing::HasSubstr;

const QString kBaidu = QStringLiteral("http://www.baidu.com/s?wd=site:");
const QByteArray kLinkBack = QStringLiteral("<a href=\"http://www.mysite.com/\">首页之家</a>").toUtf8();

class CheckChangesTest : public CommandFixture {
protected:
    void SetUp() override
    {
        CommandFixture::SetUp();
        ASSERT_TRUE(m_dir.isValid());
        fakeweb::World &world = m_web.world();
        world.setPage("http://www.mysite.com/", "<a href=\"http://www.friend-a.com/\">甲</a>\n"
                                                "<a href=\"http://www.friend-b.net/\">乙</a>\n");
        world.setPage("http://www.friend-a.com/", kLinkBack);
        world.setPage(kBaidu + "www.friend-a.com/", baiduResultPage("约1,230", "www.friend-a.com/"));
        world.setPage("http://www.friend-b.net/", kLinkBack);
        world.setPage("http://www.other.cn/", "<a href=\"http://www.friend-a.com/\">甲</a>\n");
    }

    [[nodiscard]] QString history() const { return m_dir.filePath(QStringLiteral("history.sqlite")); }

    int checkWith(QStringList arguments)
    {
        return check(arguments << QStringLiteral("--history") << history());
    }

    // Every recorded check a day older, as if it had run yesterday.
    void aDayPasses() const
    {
        sqlite3 *db = nullptr;
        ASSERT_EQ(sqlite3_open(history().toUtf8().constData(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, "UPDATE check_run SET started_ms = started_ms - 86400000, "
                                   "finished_ms = finished_ms - 86400000", nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(db);
    }

    void dropLinkOf(const char *friendPage) { m_web.world().setPage(friendPage, "<p>没有</p>"); }

    QTemporaryDir m_dir;
};

TEST_F(CheckChangesTest, TheFirstCheckHasNothingToCompareAndIsNoFailure)
{
    EXPECT_EQ(checkWith({"www.mysite.com", "--changes-only"}), kExitOk);
    EXPECT_EQ(out(), "");
    EXPECT_EQ(err(), "");
    EXPECT_EQ(checkWith({"www.other.cn", "--changes"}), kExitOk);
    EXPECT_THAT(out().toStdString(), ::testing::EndsWith("\n\nwww.other.cn 没有更早的检查可比较\n"));
}

TEST_F(CheckChangesTest, ALostLinkIsSaidOnceAndExitsOne)
{
    ASSERT_EQ(checkWith({"www.mysite.com"}), kExitOk);
    aDayPasses();
    dropLinkOf("http://www.friend-b.net/");
    EXPECT_EQ(checkWith({"www.mysite.com", "--changes-only"}), kExitWorse);
    EXPECT_EQ(out(), "www.mysite.com 与 " + QDateTime::currentDateTimeUtc().addDays(-1).toString("MM-dd")
                         + " 相比：1 个反链丢失\n"
                           "  变差  反链丢失  http://www.friend-b.net/  首页之家 → 没有链接\n");
    EXPECT_EQ(err(), "");
    // The next day it is still missing: nothing got worse, nothing to say.
    aDayPasses();
    EXPECT_EQ(checkWith({"www.mysite.com", "--changes-only"}), kExitOk);
    EXPECT_EQ(out(), "");
    // --changes says it is still missing, and since when.
    aDayPasses();
    EXPECT_EQ(checkWith({"www.mysite.com", "--changes"}), kExitOk);
    EXPECT_THAT(out().toStdString(),
                HasSubstr("相比：无变化\n  仍未恢复  反链丢失 (" + QDateTime::currentDateTimeUtc().addDays(-2).toString("MM-dd").toStdString()
                          + " 起)  http://www.friend-b.net/\n"));
}

TEST_F(CheckChangesTest, JsonGainsKeysAndKeepsItsOwn)
{
    ASSERT_EQ(checkWith({"www.mysite.com", "--format", "json"}), kExitOk);
    const QJsonObject plain = QJsonDocument::fromJson(m_out.data()).object();
    dropLinkOf("http://www.friend-a.com/");
    ASSERT_EQ(checkWith({"www.mysite.com", "--format", "json", "--changes"}), kExitWorse);
    const QJsonObject site = QJsonDocument::fromJson(m_out.data()).object();
    ASSERT_FALSE(site.isEmpty()) << out().toStdString();
    QStringList keys = plain.keys();
    keys << "compared_with" << "changes" << "ongoing";
    keys.sort();
    EXPECT_EQ(site.keys(), keys);
    const QJsonArray changes = site["changes"].toArray();
    ASSERT_EQ(changes.size(), 1);
    const QJsonObject change = changes[0].toObject();
    EXPECT_EQ(change["lianjie"], "http://www.friend-a.com/");
    EXPECT_EQ(change["change"], "backlink_lost");
    EXPECT_EQ(change["tone"], "worse");
    EXPECT_EQ(change["label"], "反链丢失");
    EXPECT_EQ(change["since"], QDateTime::currentDateTimeUtc().date().toString(Qt::ISODate));
    EXPECT_TRUE(site["ongoing"].toArray().isEmpty());
}

TEST_F(CheckChangesTest, ABatchSaysOnlyTheSitesThatGotWorse)
{
    ASSERT_EQ(checkWith({"www.mysite.com", "www.other.cn"}), kExitOk);
    dropLinkOf("http://www.friend-b.net/");
    EXPECT_EQ(checkWith({"www.mysite.com", "www.other.cn", "--changes-only", "--format", "json"}), kExitWorse);
    const QJsonArray sites = QJsonDocument::fromJson(m_out.data()).object()["sites"].toArray();
    ASSERT_EQ(sites.size(), 1) << out().toStdString();
    EXPECT_EQ(sites[0].toObject()["site"], "www.mysite.com");
    EXPECT_EQ(sites[0].toObject()["changes"].toArray().size(), 1);

    EXPECT_EQ(checkWith({"www.mysite.com", "www.other.cn", "--changes-only", "--format", "tsv"}), kExitOk);
    EXPECT_EQ(out(), "");
    m_web.world().setPage("http://www.friend-b.net/", kLinkBack);
    dropLinkOf("http://www.friend-a.com/");
    EXPECT_EQ(checkWith({"www.mysite.com", "www.other.cn", "--changes-only", "--format", "tsv"}), kExitWorse);
    EXPECT_EQ(out(), "站点\t趋势\t变化\t代码\t网站地址\t旧值\t新值\t起始日\n"
                     "www.mysite.com\t变差\t反链丢失\tbacklink_lost\thttp://www.friend-a.com/\t首页之家\t没有链接\t"
                         + QDateTime::currentDateTimeUtc().date().toString(Qt::ISODate) + "\n"
                     "www.mysite.com\t好转\t反链恢复\tbacklink_back\thttp://www.friend-b.net/\t没有链接\t首页之家\t"
                         + QDateTime::currentDateTimeUtc().date().toString(Qt::ISODate) + "\n");
}

TEST_F(CheckChangesTest, JsonLinesCarryTheChangesOfEachSite)
{
    ASSERT_EQ(checkWith({"www.mysite.com", "www.other.cn"}), kExitOk);
    EXPECT_EQ(checkWith({"www.mysite.com", "www.other.cn", "--changes", "--format", "jsonl"}), kExitOk);
    const QStringList lines = out().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    for (const QString &line : lines) {
        const QJsonObject site = QJsonDocument::fromJson(line.toUtf8()).object();
        EXPECT_TRUE(site["rows"].isArray()) << line.toStdString();
        EXPECT_TRUE(site["changes"].isArray()) << line.toStdString();
        EXPECT_TRUE(site["compared_with"].isString()) << line.toStdString();
    }
}

TEST_F(CheckChangesTest, ASiteThatCannotBeFetchedOutranksWorse)
{
    m_web.world().setPage("http://www.gone.com/", "<a href=\"http://www.friend-a.com/\">甲</a>\n");
    ASSERT_EQ(checkWith({"www.mysite.com", "www.gone.com"}), kExitOk);
    m_web.world().set("http://www.gone.com/", answer(200, "", fakeweb::Answer::Fault::Drop));
    EXPECT_EQ(checkWith({"www.mysite.com", "www.gone.com", "--changes-only"}), kExitUnreachable);
    EXPECT_THAT(out().toStdString(), HasSubstr("www.gone.com 与 "));
    EXPECT_THAT(out().toStdString(), HasSubstr("网站无法访问"));
    EXPECT_THAT(out().toStdString(), ::testing::Not(HasSubstr("www.mysite.com")));
}

TEST_F(CheckChangesTest, ChangesNeedTheHistory)
{
    for (const char *option : {"--changes", "--changes-only"}) {
        const ParsedArguments parsed = parseArguments({"check", "www.mysite.com", option, "--no-history"});
        EXPECT_EQ(parsed.action, ParsedArguments::Action::UsageError) << option;
        EXPECT_THAT(parsed.error.toStdString(), HasSubstr("--no-history")) << option;
    }
    // The last of --history and --no-history counts.
    EXPECT_EQ(parseArguments({"check", "a.com", "--changes", "--no-history", "--history", "h.sqlite"}).action,
              ParsedArguments::Action::Run);
}

TEST_F(CheckChangesTest, AHistoryThatCannotBeReadIsSaidAndExitsFour)
{
    QFile garbage(m_dir.filePath("garbage.sqlite"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(8192, 'x'));
    garbage.close();
    EXPECT_EQ(check({"www.mysite.com", "--changes-only", "--history", garbage.fileName()}), kExitOutputFailed);
    EXPECT_THAT(err().toStdString(), HasSubstr("无法比较变化"));
    EXPECT_EQ(out(), "");
}

TEST_F(CheckChangesTest, DiffOfASiteComparesItsLastTwoChecks)
{
    ASSERT_EQ(checkWith({"www.mysite.com"}), kExitOk);
    aDayPasses();
    dropLinkOf("http://www.friend-b.net/");
    ASSERT_EQ(checkWith({"www.mysite.com"}), kExitOk);
    aDayPasses();
    m_web.world().setPage("http://www.friend-b.net/", kLinkBack);
    ASSERT_EQ(checkWith({"www.mysite.com"}), kExitOk);

    EXPECT_EQ(diff({"www.mysite.com", "--history", history()}), kDiffNoRegression);
    EXPECT_THAT(out().toStdString(), HasSubstr("反链恢复"));
    // Since yesterday: the newest against the newest before today began, the day before's.
    const QString today = QDateTime::currentDateTimeUtc().date().toString(Qt::ISODate);
    EXPECT_EQ(diff({"www.mysite.com", "--history", history(), "--since", today}), kDiffNoRegression);
    EXPECT_THAT(out().toStdString(), HasSubstr("反链恢复"));
    const QString twoDaysAgo = QDateTime::currentDateTimeUtc().date().addDays(-1).toString(Qt::ISODate);
    EXPECT_EQ(diff({"www.mysite.com", "--history", history(), "--since", twoDaysAgo, "--format", "json"}),
              kDiffNoRegression);
    EXPECT_EQ(QJsonDocument::fromJson(m_out.data()).object()["changes"].toArray().size(), 0) << out().toStdString();

    EXPECT_EQ(diff({"www.mysite.com", "--history", history(), "--since", "2001-01-01"}), kDiffUsage);
    EXPECT_THAT(err().toStdString(), HasSubstr("no check of www.mysite.com was recorded before 2001-01-01"));
    EXPECT_EQ(diff({"www.nowhere.com", "--history", history()}), kDiffUsage);
    EXPECT_THAT(err().toStdString(), HasSubstr("no check of www.nowhere.com is recorded"));
}

TEST_F(CheckChangesTest, DiffOfASiteCheckedOnceHasNothingToCompare)
{
    ASSERT_EQ(checkWith({"www.mysite.com"}), kExitOk);
    EXPECT_EQ(diff({"www.mysite.com", "--history", history()}), kDiffUsage);
    EXPECT_THAT(err().toStdString(), HasSubstr("only one check of www.mysite.com is recorded"));
    // A missing history is not made.
    const QString missing = m_dir.filePath("none.sqlite");
    EXPECT_EQ(diff({"www.mysite.com", "--history", missing}), kDiffUsage);
    EXPECT_FALSE(QFile::exists(missing));
}

TEST_F(CheckChangesTest, AFileOfTheSiteNameIsAFile)
{
    ASSERT_EQ(checkWith({"www.mysite.com"}), kExitOk);
    ASSERT_EQ(checkWith({"www.mysite.com"}), kExitOk);
    const QString named = m_dir.filePath("www.mysite.com");
    QFile file(named);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(diff({named, "--history", history()}), kDiffUsage);
    EXPECT_THAT(err().toStdString(), HasSubstr("is one file"));
}

TEST(DiffSinceArguments, ADayOrAUsageError)
{
    EXPECT_EQ(parseArguments({"diff", "a.com", "--since", "2026-12-01"}).diff.since, QDate(2026, 12, 1));
    for (const char *bad : {"2026-13-01", "12-01", "2026-12-1", "yesterday"})
        EXPECT_EQ(parseArguments({"diff", "a.com", "--since", bad}).action, ParsedArguments::Action::UsageError) << bad;
    const ParsedArguments files = parseArguments({"diff", "a.json", "b.json", "--since", "2026-12-01"});
    EXPECT_EQ(files.action, ParsedArguments::Action::UsageError);
    EXPECT_THAT(files.error.toStdString(), HasSubstr("--since goes with a SITE"));
}

} // namespace
} // namespace friendlinks
