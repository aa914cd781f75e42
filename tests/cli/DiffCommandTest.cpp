#include "cli/DiffCommand.h"

#include "tests/common/CommandRun.h"

#include <QFile>
#include <QTemporaryDir>

namespace friendlinks {
namespace {

const char kYesterday[] = R"({"sites": [
{"site": "www.one.com", "mode": "classic", "rows": [
  {"lianjie": "http://www.a.com/", "guanjianzi": "甲\r\n", "fanlian": "一号", "shoulu": "约1,000篇", "kuaizhao": "", "rp": "首页第一", "red": []},
  {"lianjie": "http://www.b.com/", "guanjianzi": "乙\r\n", "fanlian": "没有链接", "shoulu": "", "kuaizhao": "", "rp": "", "red": ["fanlian"]},
  {"lianjie": "http://www.c.com/", "guanjianzi": "丙\r\n", "fanlian": "一号", "shoulu": "", "kuaizhao": "", "rp": "", "red": []}
]},
{"site": "www.two.com", "rows": [
  {"lianjie": "http://www.d.com/", "fanlian": "二号", "shoulu": "", "rp": "注意：不在第一"}
]}
]})";

const char kToday[] = R"({"sites": [
{"site": "www.one.com", "mode": "classic", "rows": [
  {"lianjie": "http://www.a.com/", "guanjianzi": "甲\r\n", "fanlian": "没有链接", "shoulu": "约500篇", "kuaizhao": "", "rp": "首页第一", "red": ["fanlian"]},
  {"lianjie": "http://www.b.com/", "guanjianzi": "乙\r\n", "fanlian": "一号", "shoulu": "", "kuaizhao": "", "rp": "", "red": []},
  {"lianjie": "http://www.e.com/", "guanjianzi": "戊\r\n", "fanlian": "一号", "shoulu": "", "kuaizhao": "", "rp": "", "red": []}
]},
{"site": "www.two.com", "rows": [
  {"lianjie": "http://www.d.com/", "fanlian": "二号", "shoulu": "", "rp": "首页第一"}
]}
]})";

class DiffCommandTest : public CommandFixture {
protected:
    QString file(const QString &name, const QByteArray &text)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return path;
    }

    QTemporaryDir m_dir;
};

TEST_F(DiffCommandTest, TableGroupsBySiteWithRegressionsFirst)
{
    EXPECT_EQ(diff({file("old.json", kYesterday), file("new.json", kToday)}), kDiffRegression);
    EXPECT_EQ(out(), QString::fromUtf8(
                         "www.one.com  变差  backlink_lost  http://www.a.com/  一号 → 没有链接\n"
                         "www.one.com  变差  index_drop     http://www.a.com/  1000 → 500\n"
                         "www.one.com  变差  removed        http://www.c.com/  http://www.c.com/ → \n"
                         "www.one.com  好转  backlink_back  http://www.b.com/  没有链接 → 一号\n"
                         "www.one.com  好转  added          http://www.e.com/   → http://www.e.com/\n"
                         "www.two.com  好转  rank_back      http://www.d.com/  注意：不在第一 → 首页第一\n"));
    EXPECT_TRUE(err().isEmpty());
}

TEST_F(DiffCommandTest, JsonListsTheChangesAndOnlyImprovementsOrNoChangeExitWithZero)
{
    EXPECT_EQ(diff({file("old.json", kYesterday), file("new.json", kToday), "--format", "json"}), kDiffRegression);
    EXPECT_TRUE(out().contains(R"("change": "backlink_lost")"));
    EXPECT_TRUE(out().startsWith("{\n    \"changes\": ["));
    EXPECT_EQ(out().count("\"site\""), 6);
    EXPECT_EQ(diff({file("new.json", kToday), file("old.json", kYesterday)}), kDiffRegression);
    const QByteArray better = QByteArray(kYesterday).replace("\"fanlian\": \"没有链接\"", "\"fanlian\": \"一号\"");
    EXPECT_EQ(diff({file("old.json", kYesterday), file("better.json", better)}), kDiffNoRegression);
    EXPECT_TRUE(out().contains("backlink_back"));
    EXPECT_EQ(diff({file("a.json", kToday), file("b.json", kToday)}), kDiffNoRegression);
    EXPECT_EQ(out(), "无变化\n");
}

TEST_F(DiffCommandTest, BadFilesAreNamedWithTheReasonAndNothingOnStdout)
{
    const QString good = file("good.json", kToday);
    const std::pair<QStringList, const char *> cases[] = {
        {{good, file("cut.json", QByteArray(kToday).left(40))}, "cut.json\": not JSON"},
        {{file("package.json", R"({"name": "x", "dependencies": {}})"), good}, "package.json\": not the json output"},
        {{good, m_dir.filePath("missing.json")}, "cannot read"},
        {{good}, "needs two files"},
        {{good, good, "--format", "xml"}, "--format must be table or json"},
        {{good, good, "--colour"}, "unknown option --colour"},
    };
    for (const auto &[arguments, reason] : cases) {
        EXPECT_EQ(diff(arguments), kDiffUsage) << reason;
        EXPECT_TRUE(out().isEmpty()) << reason;
        EXPECT_TRUE(err().contains(QString::fromUtf8(reason))) << err().toStdString();
    }
}

} // namespace
} // namespace friendlinks
