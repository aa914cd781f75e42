// `friendlinks check` records each site's check into the history: what it records, where, and what a
// history that cannot record does to the run (said once, the output whole, exit 4 only when named).
#include "check/HistoryRecording.h"
#include "check/BatchFormats.h"
#include "check/JsonFormat.h"
#include "tests/common/CommandRun.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace friendlinks {
namespace {

const QString kBaidu = QStringLiteral("http://www.baidu.com/s?wd=site:");

class CheckHistoryTest : public CommandFixture {
protected:
    void SetUp() override
    {
        CommandFixture::SetUp();
        ASSERT_TRUE(m_dir.isValid());
        m_savedEnvironment = qgetenv("FRIENDLINKS_HISTORY");
        qputenv("FRIENDLINKS_HISTORY", file("env.sqlite").toUtf8());
        fakeweb::World &world = m_web.world();
        world.setPage("http://www.mysite.com/", "<a href=\"http://www.friend-a.com/\">甲</a>\n"
                                                "<a href=\"http://www.friend-b.net/\">乙</a>\n");
        world.setPage("http://www.friend-a.com/", "<a href=\"http://www.mysite.com/\">首页之家</a>");
        world.setPage(kBaidu + "www.friend-a.com/", baiduResultPage("约1,230", "www.friend-a.com/"));
        world.setPage("http://www.friend-b.net/", "<a href=\"http://www.else.com/\">别处</a>");
        world.setPage("http://www.other.cn/", "<a href=\"http://www.friend-a.com/\">甲</a>\n");
    }
    void TearDown() override { qputenv("FRIENDLINKS_HISTORY", m_savedEnvironment); }

    [[nodiscard]] QString file(const char *name) const { return m_dir.filePath(QString::fromUtf8(name)); }

    // A file that is no history.
    [[nodiscard]] QString garbage() const
    {
        QFile out(file("garbage.sqlite"));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(QByteArray(8192, 'x'));
        return out.fileName();
    }

    // The checks recorded in path, read back, in the order they were recorded.
    static QList<SiteResult> recorded(const QString &path, const QStringList &sites)
    {
        HistoryStore store;
        EXPECT_TRUE(store.open(path)) << store.lastError().reason.toStdString();
        QList<std::pair<qint64, SiteResult>> found;
        for (const QString &site : sites)
            for (const CheckSummary &summary : store.checksOf(site)) {
                auto result = recordedResult(store.load(summary.id).value_or(CheckRecord{}));
                EXPECT_TRUE(std::holds_alternative<SiteResult>(result));
                if (auto *read = std::get_if<SiteResult>(&result))
                    found.append({summary.id, *read});
            }
        std::sort(found.begin(), found.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
        QList<SiteResult> results;
        for (const auto &[id, result] : found)
            results << result;
        return results;
    }

    [[nodiscard]] int timesSaid(const QString &words) const { return int(err().count(words)); }

    QTemporaryDir m_dir;
    QByteArray m_savedEnvironment;
};

TEST_F(CheckHistoryTest, EachSiteOfABatchIsRecordedAsItsJsonSaysIt)
{
    EXPECT_EQ(check({"www.mysite.com", "www.other.cn", "--format", "jsonl", "--history", file("mine.sqlite")}), kExitOk);
    EXPECT_EQ(err(), "");
    const QList<SiteResult> checks = recorded(file("mine.sqlite"), {"www.mysite.com", "www.other.cn"});
    ASSERT_EQ(checks.size(), 2);
    QByteArray again;
    for (const SiteResult &result : checks) {
        again += jsonLine(formatSiteJson(result.outcome, result.rows));
        EXPECT_TRUE(result.startedAt.isValid() && result.startedAt <= result.finishedAt);
    }
    EXPECT_EQ(again, m_out.data()) << "the rows, cells, red flags and facts the output gave";
    EXPECT_EQ(checks[0].outcome.site == "www.mysite.com" ? checks[0].rows.size() : checks[1].rows.size(), 2);
    EXPECT_FALSE(QFile::exists(file("env.sqlite"))) << "--history is the only file written";
}

TEST_F(CheckHistoryTest, HistoryListsTheChecksThatCheckRecorded)
{
    for (int run = 0; run < 2; ++run)
        EXPECT_EQ(check({"www.mysite.com", "--format", "tsv"}), kExitOk);
    openBuffers();
    int argc = 0;
    const ParsedArguments parsed = parseArguments({"history", "www.mysite.com", "--format", "tsv"});
    EXPECT_EQ(runParsed(parsed, Invocation{argc, nullptr, &m_out, &m_err}), 0) << err().toStdString();
    const QStringList lines = out().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << out().toStdString();
    // Two rows, the one without a link back red; the second check changed nothing, the first has nothing to compare with.
    EXPECT_EQ(lines[1].section('\t', 1), "classic\t2\t1\t\t0\t0\t0");
    EXPECT_EQ(lines[2].section('\t', 1), "classic\t2\t1\t\t\t\t");
}

TEST_F(CheckHistoryTest, WithoutTheOptionTheEnvironmentsFileAndWithNoHistoryNone)
{
    EXPECT_EQ(check({"www.mysite.com", "--format", "json"}), kExitOk);
    const QList<SiteResult> checks = recorded(file("env.sqlite"), {"www.mysite.com"});
    ASSERT_EQ(checks.size(), 1);
    EXPECT_EQ(formatSiteJson(checks[0].outcome, checks[0].rows), m_out.data());

    QFile::remove(file("env.sqlite"));
    EXPECT_EQ(check({"www.mysite.com", "--history", file("other.sqlite"), "--no-history"}), kExitOk);
    EXPECT_EQ(err(), "");
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList()) << "no file at all";
}

TEST_F(CheckHistoryTest, AHistoryNamedWithTheOptionThatCannotRecordIsSaidOnceAndExitsFour)
{
    check({"www.mysite.com", "www.other.cn", "--format", "json", "--no-history"});
    const QByteArray plain = outAtZeroMs().toUtf8();
    QFile blocker(file("plain"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const std::pair<QString, const char *> stores[] = {
        {garbage(), "is not a friendlinks history (not an SQLite database)"},
        {file("plain/sub/history.sqlite"), "cannot make the folder"},
    };
    for (const auto &[path, reason] : stores) {
        EXPECT_EQ(check({"www.mysite.com", "www.other.cn", "--format", "json", "--history", path}), kExitOutputFailed);
        EXPECT_EQ(outAtZeroMs().toUtf8(), plain) << "the output whole: " << reason;
        EXPECT_EQ(timesSaid(QStringLiteral("friendlinks: 无法记录历史：")), 1) << err().toStdString();
        EXPECT_TRUE(err().contains(QString::fromUtf8(reason)) && err().contains(QDir::toNativeSeparators(path))) << err().toStdString();
    }
    EXPECT_EQ(QFile(garbage()).size(), 8192) << "a file that is no history is left as it was";
}

TEST_F(CheckHistoryTest, TheEnvironmentsHistoryThatCannotRecordIsSaidOnceAndTheExitIsTheChecks)
{
    qputenv("FRIENDLINKS_HISTORY", garbage().toUtf8());
    EXPECT_EQ(check({"www.mysite.com", "www.other.cn", "--format", "tsv"}), kExitOk);
    EXPECT_EQ(out().count('\n'), 4) << "a header and three rows";
    EXPECT_EQ(timesSaid(QStringLiteral("无法记录历史")), 1) << err().toStdString();
    EXPECT_EQ(check({"www.gone.com"}), kExitUnreachable) << "a site that cannot be fetched stays 3";
    EXPECT_EQ(timesSaid(QStringLiteral("无法记录历史")), 1);
}

} // namespace
} // namespace friendlinks
