// `check --baidu-max-age`: Baidu asked once per distinct friend per max age, within a run and across
// runs (the history keeps the answers), rows saying when their answer was asked, and a block falling
// back on the newest answer kept, counted on stderr.
#include "check/HistoryStore.h"
#include "tests/common/CommandRun.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <sqlite3.h>

namespace friendlinks {
namespace {

const QString kBaidu = QStringLiteral("http://www.baidu.com/s?wd=site:");
constexpr qint64 kDayMs = 86'400'000;

class CheckBaiduAgeTest : public CommandFixture {
protected:
    void SetUp() override
    {
        CommandFixture::SetUp();
        ASSERT_TRUE(m_dir.isValid());
        m_savedEnvironment = qgetenv("FRIENDLINKS_HISTORY");
        qputenv("FRIENDLINKS_HISTORY", history().toUtf8());
        fakeweb::World &world = m_web.world();
        // Two sites whose partners overlap: www.a.com is a friend of both.
        world.setPage("http://www.mysite.com/", "<a href=\"http://www.a.com/\">甲</a>\n"
                                                "<a href=\"http://www.b.com/\">乙</a>\n");
        world.setPage("http://www.other.cn/", "<a href=\"http://www.a.com/\">甲</a>\n"
                                              "<a href=\"http://www.c.com/\">丙</a>\n");
        for (const char *host : {"www.a.com", "www.b.com", "www.c.com"}) {
            world.setPage(QStringLiteral("http://%1/").arg(host), "<a href=\"http://www.mysite.com/\">我的站</a>");
            world.setPage(kBaidu + host + '/', baiduResultPage("约1,230", QString::fromUtf8(host) + '/'));
        }
    }
    void TearDown() override { qputenv("FRIENDLINKS_HISTORY", m_savedEnvironment); }

    [[nodiscard]] QString history() const { return m_dir.filePath(QStringLiteral("history.sqlite")); }

    // One json check through fakeweb; the Baidu queries it sent.
    int baiduQueriesOf(QStringList arguments)
    {
        m_web.clearLog();
        arguments << "--format" << "json";
        EXPECT_EQ(check(arguments), kExitOk) << err().toStdString();
        return m_web.hostRequests(QStringLiteral("www.baidu.com"));
    }

    // The rows of a json output, of one site or of each site in turn.
    [[nodiscard]] QJsonArray rows() const
    {
        const QJsonObject top = QJsonDocument::fromJson(m_out.data()).object();
        if (!top.contains(QLatin1String("sites")))
            return top.value(QLatin1String("rows")).toArray();
        QJsonArray all;
        for (const QJsonValue &site : top.value(QLatin1String("sites")).toArray())
            for (const QJsonValue &row : site.toObject().value(QLatin1String("rows")).toArray())
                all.append(row);
        return all;
    }

    // Each row's six cells and red flags, as the classic columns show them.
    [[nodiscard]] QStringList cells() const
    {
        QStringList out;
        for (const QJsonValue &value : rows()) {
            QJsonObject row = value.toObject();
            row.remove(QLatin1String("facts"));
            out << QString::fromUtf8(QJsonDocument(row).toJson(QJsonDocument::Compact));
        }
        return out;
    }

    // Each row's three Baidu cells and whether rp is red.
    [[nodiscard]] QStringList baiduCells() const
    {
        QStringList out;
        for (const QJsonValue &row : rows())
            out << row[QLatin1String("shoulu")].toString() + '|' + row[QLatin1String("kuaizhao")].toString() + '|'
                    + row[QLatin1String("rp")].toString() + '|'
                    + (row[QLatin1String("red")].toArray().contains(QJsonValue("rp")) ? "red" : "");
        return out;
    }

    [[nodiscard]] QStringList cachedAt() const
    {
        QStringList out;
        for (const QJsonValue &row : rows())
            out << row[QLatin1String("facts")][QLatin1String("baidu")][QLatin1String("cached_at")].toString();
        return out;
    }

    // Moves every kept answer back in time, as days passing would.
    void ageAnswers(qint64 ms)
    {
        sqlite3 *db = nullptr;
        ASSERT_EQ(sqlite3_open(history().toUtf8().constData(), &db), SQLITE_OK);
        const QByteArray sql = "UPDATE baidu_answer SET asked_ms = asked_ms - " + QByteArray::number(ms);
        EXPECT_EQ(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        sqlite3_close(db);
    }

    QTemporaryDir m_dir;
    QByteArray m_savedEnvironment;
};

TEST_F(CheckBaiduAgeTest, ASecondRunWithinTheAgeSendsNoBaiduQuery)
{
    EXPECT_EQ(baiduQueriesOf({"www.mysite.com", "--baidu-max-age", "1d"}), 2);
    const QStringList first = cells();
    EXPECT_EQ(cachedAt(), (QStringList{"", ""})) << "asked now";
    EXPECT_FALSE(out().contains("cached_at"));

    EXPECT_EQ(baiduQueriesOf({"www.mysite.com", "--baidu-max-age", "12h"}), 0);
    EXPECT_EQ(cells(), first) << "the same cells, byte for byte";
    for (const QString &at : cachedAt()) {
        const QDateTime time = QDateTime::fromString(at, Qt::ISODate);
        EXPECT_TRUE(time.isValid() && at.endsWith('Z')) << at.toStdString();
        EXPECT_LE(qAbs(time.secsTo(QDateTime::currentDateTimeUtc())), 600);
    }
    EXPECT_EQ(m_web.hostRequests(QStringLiteral("www.a.com")), 2) << "the friend's own page (and robots.txt) is still read";
    EXPECT_EQ(err(), "");
}

TEST_F(CheckBaiduAgeTest, PastTheAgeBaiduIsAskedAgain)
{
    EXPECT_EQ(baiduQueriesOf({"www.mysite.com", "--baidu-max-age", "1d", "--history", history()}), 2);
    ageAnswers(kDayMs + 60'000);
    EXPECT_EQ(baiduQueriesOf({"www.mysite.com", "--baidu-max-age", "1d", "--history", history()}), 2);
    EXPECT_EQ(cachedAt(), (QStringList{"", ""}));
    EXPECT_EQ(baiduQueriesOf({"www.mysite.com", "--baidu-max-age", "1d", "--history", history()}), 0)
        << "the answers just had are kept";
}

TEST_F(CheckBaiduAgeTest, WithoutTheOptionEveryCheckAsksAnewAndKeepsNothing)
{
    EXPECT_EQ(baiduQueriesOf({"www.mysite.com"}), 2);
    const QString plain = outAtZeroMs();
    EXPECT_EQ(baiduQueriesOf({"www.mysite.com"}), 2);
    EXPECT_EQ(baiduQueriesOf({"www.mysite.com", "--baidu-max-age", "0"}), 2);
    EXPECT_EQ(outAtZeroMs(), plain);
    EXPECT_EQ(baiduQueriesOf({"www.mysite.com", "--baidu-max-age", "1d"}), 2) << "none was kept before";
}

TEST_F(CheckBaiduAgeTest, ABatchOfOverlappingSitesAsksOncePerDistinctFriend)
{
    EXPECT_EQ(baiduQueriesOf({"www.mysite.com", "www.other.cn", "--baidu-max-age", "1d"}), 3) << "a, b, c";
    EXPECT_EQ(rows().size(), 4);
    EXPECT_EQ(baiduQueriesOf({"www.other.cn", "www.mysite.com", "--baidu-max-age", "1d"}), 0);
    EXPECT_EQ(cachedAt().count(QString()), 0);
}

TEST_F(CheckBaiduAgeTest, WithoutAHistoryTheRunsOwnAnswersServeIt)
{
    EXPECT_EQ(baiduQueriesOf({"www.mysite.com", "www.other.cn", "--baidu-max-age", "1d", "--no-history"}), 3);
    EXPECT_EQ(baiduQueriesOf({"www.mysite.com", "www.other.cn", "--baidu-max-age", "1d", "--no-history"}), 3);
    EXPECT_FALSE(QFileInfo::exists(history()));
}

TEST_F(CheckBaiduAgeTest, WhenBaiduBlocksRowsKeepTheNewestAnswerAndStderrCountsThem)
{
    EXPECT_EQ(baiduQueriesOf({"www.mysite.com", "--baidu-max-age", "1d"}), 2);
    const QStringList answered = baiduCells();
    ASSERT_EQ(answered.size(), 2);
    EXPECT_TRUE(answered[0].startsWith(QStringLiteral("约1,230篇|"))) << answered[0].toStdString();
    ageAnswers(30 * kDayMs); // of any age
    m_web.world().setHostAnswerFrom(QStringLiteral("www.baidu.com"), 1, captchaRedirect());

    baiduQueriesOf({"www.mysite.com", "www.other.cn", "--baidu-max-age", "1d"});
    EXPECT_EQ(err(), kBaiduBlockedMessage + QStringLiteral("（3 行沿用之前的结果，1 行为空）\n"));
    const QStringList now = baiduCells();
    ASSERT_EQ(now.size(), 4);
    EXPECT_EQ(now.mid(0, 2), answered) << "www.mysite.com's rows as the earlier check had them";
    EXPECT_EQ(now[2], answered[0]) << "www.other.cn's www.a.com";
    EXPECT_EQ(now[3], "|||") << "www.c.com was never answered: empty";
    const QStringList at = cachedAt();
    EXPECT_TRUE(!at[0].isEmpty() && !at[1].isEmpty() && at[2] == at[0]) << at.join(' ').toStdString();
    EXPECT_EQ(at[3], "");
    EXPECT_EQ(rows()[3][QLatin1String("facts")][QLatin1String("baidu")][QLatin1String("state")], "blocked");
}

} // namespace
} // namespace friendlinks
