#include "cli/CheckCommand.h"

#include "tests/common/QtPrinters.h"
#include "tools/fakeweb/FakeWeb.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace friendlinks {
namespace {

// Two sites that can be checked and one that cannot, through fakeweb.
class BatchCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_web.listen());
        fakeweb::World &world = m_web.world();
        world.setPage("http://www.one.com/", "<a href=\"http://www.back.com/\">回链站</a>\n");
        world.setPage("http://www.two.com/", "<a href=\"http://www.back.com/\">回链站</a>\n"
                                             "<a href=\"http://www.quiet.com/\">不回</a>\n");
        world.setPage("http://www.back.com/", "<a href=\"http://www.one.com/\">一号</a>");
        world.setPage("http://www.quiet.com/", "<p>nothing</p>");
        world.setPage("http://www.baidu.com/s?wd=site:www.back.com/",
                      "百度一下，找到相关网页约5篇，用时0.1秒<font color=#008000>www.back.com/ 3K 2026-1-2</font>");
        fakeweb::Answer drop;
        drop.fault = fakeweb::Answer::Fault::Drop;
        world.set("http://www.gone.com/", drop);
    }

    int run(const QStringList &sites, OutputFormat format)
    {
        CheckOptions options;
        options.sites = sites;
        options.site = sites.value(0);
        options.format = format;
        options.settings.proxy = m_web.proxy();
        m_out.setData({});
        m_err.setData({});
        m_out.open(QIODevice::WriteOnly);
        m_err.open(QIODevice::WriteOnly);
        CheckCommand command(options, &m_out, &m_err, false, false);
        QSignalSpy finished(&command, &CheckCommand::finished);
        command.start();
        EXPECT_TRUE(finished.wait(20000));
        m_out.close();
        m_err.close();
        return finished.isEmpty() ? -1 : finished.first().first().toInt();
    }

    // The output without the rows' facts (their times vary; FactsOutputTest covers them).
    [[nodiscard]] QString out() const
    {
        static const QRegularExpression kFacts(QStringLiteral(R"(, "facts": \{.*?"baidu": (?:null|\{[^{}]*\}), "tls_error": (?:null|"(?:[^"\\]|\\.)*")\})"));
        return QString::fromUtf8(m_out.data()).remove(kFacts);
    }
    [[nodiscard]] QString err() const { return QString::fromUtf8(m_err.data()); }

    const QStringList m_sites{"www.one.com", "www.gone.com", "www.two.com"};
    fakeweb::FakeWeb m_web;
    QBuffer m_out;
    QBuffer m_err;
};

const char kOneRow[] = R"({"lianjie": "http://www.back.com/", "guanjianzi": "回链站\r\n", "fanlian": "一号", "shoulu": "约5篇", "kuaizhao": "3K 2026-1-2\r\n", "rp": "首页第一", "red": []})";
const char kTwoRows[] =
    R"({"lianjie": "http://www.back.com/", "guanjianzi": "回链站\r\n", "fanlian": "没有链接", "shoulu": "约5篇", "kuaizhao": "3K 2026-1-2\r\n", "rp": "首页第一", "red": ["fanlian"]})";

TEST_F(BatchCommandTest, JsonListsEverySiteInTheOrderGiven)
{
    EXPECT_EQ(run(m_sites, OutputFormat::Json), kExitUnreachable);
    const QString expected = QString::fromUtf8("{\"sites\": [\n{\"site\": \"www.one.com\", \"mode\": \"classic\", \"rows\": [\n  ")
        + QString::fromUtf8(kOneRow) + "\n]},\n"
        + R"({"site": "www.gone.com", "mode": "classic", "unreachable": true, "rows": []},)" "\n"
        + R"({"site": "www.two.com", "mode": "classic", "rows": [)" "\n  " + QString::fromUtf8(kTwoRows) + ",\n  "
        + QString::fromUtf8(R"({"lianjie": "http://www.quiet.com/", "guanjianzi": "不回\r\n", "fanlian": "没有链接", "shoulu": "", "kuaizhao": "", "rp": "", "red": ["fanlian"]})")
        + "\n]}\n]}\n";
    EXPECT_EQ(out(), expected);
    EXPECT_EQ(err(), "网址可能无法访问：www.gone.com\n");
}

TEST_F(BatchCommandTest, JsonLinesGiveOneSiteObjectALine)
{
    EXPECT_EQ(run(m_sites, OutputFormat::Jsonl), kExitUnreachable);
    const QStringList lines = out().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    QStringList sites;
    for (const QString &line : lines) {
        EXPECT_TRUE(line.startsWith("{\"site\": \"") && line.endsWith("]}")) << line.toStdString();
        sites << line.section('"', 3, 3);
    }
    sites.sort();
    EXPECT_EQ(sites, (QStringList{"www.gone.com", "www.one.com", "www.two.com"}));
    EXPECT_TRUE(out().contains(R"({"site": "www.one.com", "mode": "classic", "rows": [  )" + QString::fromUtf8(kOneRow) + "]}\n"));
}

TEST_F(BatchCommandTest, TsvHasOneHeaderAndASiteColumn)
{
    EXPECT_EQ(run(m_sites, OutputFormat::Tsv), kExitUnreachable);
    EXPECT_EQ(out(), QString::fromUtf8(
                         "站点\t网站地址\t网站名字\t反链关键字\t百度收录\t百度快照\t百度site首页\t标红\n"
                         "www.one.com\thttp://www.back.com/\t回链站\\r\\n\t一号\t约5篇\t3K 2026-1-2\\r\\n\t首页第一\t\n"
                         "www.two.com\thttp://www.back.com/\t回链站\\r\\n\t没有链接\t约5篇\t3K 2026-1-2\\r\\n\t首页第一\tfanlian\n"
                         "www.two.com\thttp://www.quiet.com/\t不回\\r\\n\t没有链接\t\t\t\tfanlian\n"));
}

TEST_F(BatchCommandTest, CsvHasOneHeaderAndASiteColumn)
{
    EXPECT_EQ(run(m_sites, OutputFormat::Csv), kExitUnreachable);
    EXPECT_EQ(out(), QString::fromUtf8(
                         "\xEF\xBB\xBF站点,网站地址,网站名字,反链关键字,百度收录,百度快照,百度site首页,标红\r\n"
                         "www.one.com,http://www.back.com/,回链站,一号,约5篇,3K 2026-1-2,首页第一,\r\n"
                         "www.two.com,http://www.back.com/,回链站,没有链接,约5篇,3K 2026-1-2,首页第一,fanlian\r\n"
                         "www.two.com,http://www.quiet.com/,不回,没有链接,,,,fanlian\r\n"));
}

TEST_F(BatchCommandTest, TableAlignsTheSiteColumnAndCountsEveryRow)
{
    EXPECT_EQ(run(m_sites, OutputFormat::Table), kExitUnreachable);
    const QStringList lines = out().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_TRUE(lines[0].startsWith("站点" + QString(9, ' ') + "网站地址")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("www.one.com  http://www.back.com/"));
    EXPECT_TRUE(lines[3].startsWith("www.two.com  http://www.quiet.com/"));
    EXPECT_TRUE(lines[4].startsWith("共 3 行，标红 2 处")) << lines[4].toStdString();
}

TEST_F(BatchCommandTest, EverySiteCheckedExitsWithZero)
{
    EXPECT_EQ(run({"www.one.com", "www.two.com"}, OutputFormat::Json), kExitOk);
    EXPECT_TRUE(out().startsWith("{\"sites\": [\n{\"site\": \"www.one.com\""));
    EXPECT_TRUE(err().isEmpty());
}

TEST_F(BatchCommandTest, OneSiteKeepsTheOneSiteShapes)
{
    EXPECT_EQ(run({"www.one.com"}, OutputFormat::Tsv), kExitOk);
    EXPECT_TRUE(out().startsWith("网站地址\t"));
    EXPECT_EQ(run({"www.one.com"}, OutputFormat::Json), kExitOk);
    EXPECT_TRUE(out().startsWith("{\"site\": \"www.one.com\", \"mode\": \"classic\", \"rows\": ["));
}

TEST(SitesList, SkipsBlankAndCommentLines)
{
    EXPECT_EQ(parseSitesList("www.a.com\n\n# mine\n  www.b.com  \r\n\t\n#www.c.com\nwww.d.com"),
              (QStringList{"www.a.com", "www.b.com", "www.d.com"}));
    EXPECT_TRUE(parseSitesList("# nothing\n\n").isEmpty());
}

TEST(SitesList, ArgumentsAndFileKeepTheirOrder)
{
    const ParsedArguments none = parseArguments({"check", "--sites", "/nonexistent/sites.txt"});
    EXPECT_EQ(none.action, ParsedArguments::Action::UsageError);
    EXPECT_TRUE(none.error.contains("/nonexistent/sites.txt"));
    const ParsedArguments two = parseArguments({"check", "a.com", "b.com", "--format", "csv"});
    ASSERT_EQ(two.action, ParsedArguments::Action::Check);
    EXPECT_EQ(two.options.sites, (QStringList{"a.com", "b.com"}));
    EXPECT_EQ(two.options.site, "a.com");
    EXPECT_EQ(two.options.format, OutputFormat::Csv);
    EXPECT_EQ(parseArguments({"check", "a.com", "--format", "jsonl"}).options.format, OutputFormat::Jsonl);
}

} // namespace
} // namespace friendlinks
