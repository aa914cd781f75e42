// `friendlinks check` end to end on one small world: one site and several, every output format, exit statuses.
#include "cli/CheckCommand.h"

#include "tests/common/CommandRun.h"

namespace friendlinks {
namespace {

// Two sites that can be checked and one that cannot.
class CheckCommandTest : public CommandFixture {
protected:
    void SetUp() override
    {
        CommandFixture::SetUp();
        fakeweb::World &world = m_web.world();
        world.setPage("http://www.one.com/", "<a href=\"http://www.back.com/\">回链站</a>\n");
        world.setPage("http://www.two.com/", "<a href=\"http://www.back.com/\">回链站</a>\n"
                                             "<a href=\"http://www.quiet.com/\">不回</a>\n");
        world.setPage("http://www.back.com/", "<a href=\"http://www.one.com/\">一号</a>");
        world.setPage("http://www.quiet.com/", "<p>nothing</p>");
        world.setPage("http://www.baidu.com/s?wd=site:www.back.com/",
                      "百度一下，找到相关网页约5篇，用时0.1秒<font color=#008000>www.back.com/ 3K 2026-1-2</font>");
        world.set("http://www.gone.com/", answer(200, {}, fakeweb::Answer::Fault::Drop));
    }

    // The output without the rows' facts (FactsOutputTest covers them).
    [[nodiscard]] QString cells() const
    {
        static const QRegularExpression kFacts(QStringLiteral(
            R"(, "facts": \{.*?"baidu": (?:null|\{[^{}]*\}), "tls_error": (?:null|"(?:[^"\\]|\\.)*"), "our_link": (?:null|\{[^{}]*\})\})"));
        return out().remove(kFacts);
    }

    const QStringList m_sites{"www.one.com", "www.gone.com", "www.two.com"};
};

const QString kOneRow = QString::fromUtf8(R"({"lianjie": "http://www.back.com/", "guanjianzi": "回链站\r\n", "fanlian": "一号", "shoulu": "约5篇", "kuaizhao": "3K 2026-1-2\r\n", "rp": "首页第一", "red": [])");

TEST_F(CheckCommandTest, OneSiteGivesTheOneSiteJsonAndNothingOnStderr)
{
    EXPECT_EQ(check({"www.one.com", "--format", "json"}), kExitOk);
    EXPECT_EQ(outAtZeroMs(), R"({"site": "www.one.com", "mode": "classic", "rows": [)" "\n  " + kOneRow
                                 + QString::fromUtf8(R"(, "facts": {"status": 200, "final_url": "http://www.back.com/", "ms": 0, "backlink": {"href": "http://www.one.com/", "rel": [], "follow": true}, "page_nofollow": false, "outbound": 1, "baidu": {"state": "ok", "count": null}, "tls_error": null, "our_link": {"href": "http://www.back.com/", "rel": [], "follow": true}}})")
                                 + "\n]}\n");
    EXPECT_TRUE(err().isEmpty()) << "no progress when stderr is not a terminal";
    EXPECT_EQ(check({"www.one.com", "--format", "tsv"}), kExitOk);
    EXPECT_TRUE(out().startsWith("网站地址\t"));
    EXPECT_EQ(check({"www.one.com", "www.two.com", "--format", "json"}), kExitOk) << "every site checked";
}

TEST_F(CheckCommandTest, JsonListsEverySiteInTheOrderGivenAndNamesTheUnreachable)
{
    EXPECT_EQ(check(m_sites + QStringList{"--format", "json"}), kExitUnreachable);
    const QString quiet = QString::fromUtf8(R"({"lianjie": "http://www.quiet.com/", "guanjianzi": "不回\r\n", "fanlian": "没有链接", "shoulu": "", "kuaizhao": "", "rp": "", "red": ["fanlian"]})");
    const QString lostBack = QString(kOneRow).replace("\"一号\"", "\"没有链接\"").replace("[]", "[\"fanlian\"]");
    EXPECT_EQ(cells(), "{\"sites\": [\n{\"site\": \"www.one.com\", \"mode\": \"classic\", \"rows\": [\n  " + kOneRow + "}\n]},\n"
                          R"({"site": "www.gone.com", "mode": "classic", "unreachable": true, "rows": []},)" "\n"
                          R"({"site": "www.two.com", "mode": "classic", "rows": [)" "\n  " + lostBack + "},\n  " + quiet + "\n]}\n]}\n");
    EXPECT_EQ(err(), "网址可能无法访问：www.gone.com\n");

    EXPECT_EQ(check(m_sites + QStringList{"--format", "jsonl"}), kExitUnreachable);
    QStringList lines = cells().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines.contains(R"({"site": "www.one.com", "mode": "classic", "rows": [  )" + kOneRow + "}]}")) << out().toStdString();
}

TEST_F(CheckCommandTest, TextFormatsHaveOneHeaderAndASiteColumn)
{
    EXPECT_EQ(check(m_sites + QStringList{"--format", "tsv"}), kExitUnreachable);
    EXPECT_EQ(out(), QString::fromUtf8(
                         "站点\t网站地址\t网站名字\t反链关键字\t百度收录\t百度快照\t百度site首页\t标红\n"
                         "www.one.com\thttp://www.back.com/\t回链站\\r\\n\t一号\t约5篇\t3K 2026-1-2\\r\\n\t首页第一\t\n"
                         "www.two.com\thttp://www.back.com/\t回链站\\r\\n\t没有链接\t约5篇\t3K 2026-1-2\\r\\n\t首页第一\tfanlian\n"
                         "www.two.com\thttp://www.quiet.com/\t不回\\r\\n\t没有链接\t\t\t\tfanlian\n"));
    EXPECT_EQ(check(m_sites + QStringList{"--format", "csv"}), kExitUnreachable);
    EXPECT_EQ(out(), QString::fromUtf8(
                         "\xEF\xBB\xBF站点,网站地址,网站名字,反链关键字,百度收录,百度快照,百度site首页,标红\r\n"
                         "www.one.com,http://www.back.com/,回链站,一号,约5篇,3K 2026-1-2,首页第一,\r\n"
                         "www.two.com,http://www.back.com/,回链站,没有链接,约5篇,3K 2026-1-2,首页第一,fanlian\r\n"
                         "www.two.com,http://www.quiet.com/,不回,没有链接,,,,fanlian\r\n"));
    EXPECT_EQ(check(m_sites), kExitUnreachable);
    const QStringList lines = out().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_TRUE(lines[0].startsWith("站点" + QString(9, ' ') + "网站地址")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("www.one.com  http://www.back.com/"));
    EXPECT_TRUE(lines[3].startsWith("www.two.com  http://www.quiet.com/"));
    EXPECT_TRUE(lines[4].startsWith("共 3 行，标红 2 处")) << lines[4].toStdString();
}

} // namespace
} // namespace friendlinks
