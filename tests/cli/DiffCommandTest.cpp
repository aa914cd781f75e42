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
  {"lianjie": "http://www.d.com/", "fanlian": "二号", "shoulu": "", "rp": "注意：不在第一", "facts": {"backlink": {"follow": true}}}
]},
{"site": "www.three.com", "rows": [{"lianjie": "http://www.f.com/", "fanlian": "三号"}]}
]})";

const char kToday[] = R"({"sites": [
{"site": "www.one.com", "mode": "classic", "rows": [
  {"lianjie": "http://www.a.com/", "guanjianzi": "甲\r\n", "fanlian": "没有链接", "shoulu": "约500篇", "kuaizhao": "", "rp": "首页第一", "red": ["fanlian"]},
  {"lianjie": "http://www.b.com/", "guanjianzi": "乙\r\n", "fanlian": "一号", "shoulu": "", "kuaizhao": "", "rp": "", "red": []},
  {"lianjie": "http://www.e.com/", "guanjianzi": "戊\r\n", "fanlian": "一号", "shoulu": "", "kuaizhao": "", "rp": "", "red": []}
]},
{"site": "www.two.com", "rows": [
  {"lianjie": "http://www.d.com/", "fanlian": "二号", "shoulu": "", "rp": "首页第一", "facts": {"backlink": {"follow": false}}},
  {"lianjie": "http://www.x.com/\u001b[2J", "fanlian": "\u202e号"}
]},
{"site": "www.three.com", "unreachable": true, "rows": []}
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
    // Chinese labels, follow → nofollow, — for no value, page text escaped, one line for a site gone.
    EXPECT_EQ(out(), QString::fromUtf8(
                         "www.one.com    变差  反链丢失          http://www.a.com/         一号 → 没有链接\n"
                         "www.one.com    变差  收录下降          http://www.a.com/         1000 → 500\n"
                         "www.one.com    变差  友链撤下          http://www.c.com/         http://www.c.com/ → —\n"
                         "www.one.com    好转  反链恢复          http://www.b.com/         没有链接 → 一号\n"
                         "www.one.com    好转  新增友链          http://www.e.com/         — → http://www.e.com/\n"
                         "www.two.com    变差  反链加了nofollow  http://www.d.com/         follow → nofollow\n"
                         "www.two.com    好转  首页回到第一      http://www.d.com/         注意：不在第一 → 首页第一\n"
                         "www.two.com    好转  新增友链          http://www.x.com/\\x1b[2J  — → http://www.x.com/\\x1b[2J\n"
                         "www.three.com  变差  无法检查                                    — → 网址可能无法访问\n"));
    EXPECT_TRUE(err().isEmpty());
}

TEST_F(DiffCommandTest, JsonListsTheChangesAndOnlyImprovementsOrNoChangeExitWithZero)
{
    EXPECT_EQ(diff({file("old.json", kYesterday), file("new.json", kToday), "--format", "json"}), kDiffRegression);
    EXPECT_TRUE(out().startsWith("{\n    \"changes\": [")) << out().toStdString();
    EXPECT_EQ(out().count("\"site\""), 9);
    const QByteArray better = QByteArray(kYesterday)
                                  .replace("\"fanlian\": \"没有链接\"", "\"fanlian\": \"一号\"")
                                  .replace("\"red\": [\"fanlian\"]", "\"red\": []");
    EXPECT_EQ(diff({file("old.json", kYesterday), file("better.json", better)}), kDiffNoRegression);
    EXPECT_TRUE(out().contains("反链恢复"));
    EXPECT_EQ(diff({file("a.json", kToday), file("b.json", kToday)}), kDiffNoRegression);
    EXPECT_EQ(out(), "无变化\n");
}

// What makes a file unreadable as a check is SiteDiffTest's; here that the file is named, with exit 2.
TEST_F(DiffCommandTest, BadFilesAndOptionsAreNamedWithTheReasonAndNothingOnStdout)
{
    const QString good = file("good.json", kToday);
    const std::pair<QStringList, const char *> cases[] = {
        {{good, file("cut.json", QByteArray(kToday).left(40))}, "cut.json\": not JSON"},
        {{good, m_dir.filePath("missing.json")}, "cannot read"},
        {{good, good, "--format", "xml"}, "--format must be table or json"},
        {{good, good, "--colour"}, "unknown option --colour"},
        {{good, good, "--format"}, "--format needs a value"},
        {{file("a.json", R"({"site": "www.a.com", "rows": []})"), file("b.json", R"({"site": "www.b.com", "rows": []})")},
         "check of www.a.com, \""},
        {{file("none.json", R"({"sites": []})"), good}, "none.json\" holds no site"},
        {{good, file("badline.jsonl", "{\"site\": \"www.a.com\", \"rows\": []}\n{\"site\"\n")}, "on line 2"},
    };
    for (const auto &[arguments, reason] : cases) {
        EXPECT_EQ(diff(arguments), kDiffUsage) << reason;
        EXPECT_TRUE(out().isEmpty()) << reason;
        EXPECT_TRUE(err().contains(QString::fromUtf8(reason))) << err().toStdString();
    }
}

TEST_F(DiffCommandTest, JsonLinesAreReadAndAClassicCheckWithAModernOneIsSaidOnce)
{
    const QByteArray lines = "{\"site\": \"www.a.com\", \"mode\": \"classic\", \"rows\": [{\"lianjie\": \"http://www.x.com/\"}]}\n"
                             "{\"site\": \"www.b.com\", \"mode\": \"classic\", \"rows\": []}\n";
    const QString older = file("old.jsonl", lines);
    EXPECT_EQ(diff({older, older}), kDiffNoRegression);
    EXPECT_EQ(out(), "无变化\n");
    EXPECT_TRUE(err().isEmpty()) << err().toStdString();
    const QString newer = file("new.jsonl", QByteArray(lines).replace("classic", "modern"));
    EXPECT_EQ(diff({older, newer}), kDiffNoRegression);
    EXPECT_EQ(out(), "无变化\n");
    EXPECT_EQ(err().count("a classic check"), 1) << err().toStdString();
    EXPECT_TRUE(err().contains("new.jsonl\" a modern one")) << err().toStdString();
}

TEST_F(DiffCommandTest, HelpIsNoErrorAndUnwritableOutputExitsFour)
{
    EXPECT_EQ(diff({"--help"}), kDiffNoRegression);
    EXPECT_TRUE(out().startsWith("usage: friendlinks diff")) << out().toStdString();
    const QString good = file("good.json", kToday);
    EXPECT_EQ(diff({good, good}, fullDisk().get()), kExitOutputFailed);
    EXPECT_TRUE(err().contains("无法写出结果")) << err().toStdString();
}

} // namespace
} // namespace friendlinks
