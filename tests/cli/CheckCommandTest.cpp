// `friendlinks check` end to end on one small world: one site and several, every output format, exit statuses.
#include "cli/CheckCommand.h"

#include "tests/common/CommandRun.h"

#include <QTcpServer>

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
        world.setPage("http://www.baidu.com/s?wd=site:www.back.com/", baiduResultPage("约5", "www.back.com/"));
        world.set("http://www.gone.com/", answer(200, {}, fakeweb::Answer::Fault::Drop));
        world.set("http://www.nf.com/", answer(404, "<a href=\"http://www.back.com/\">回链站</a>\n"));
        world.set("http://www.nf-empty.com/", answer(404, ""));
        // Anchor texts anyone can write: a formula, a terminal escape, a right-to-left override.
        world.setPage("http://www.evil.com/", "<a href=\"http://www.back.com/\">=1+1</a>\n"
                                              "<a href=\"http://www.quiet.com/\">\x1b[2J\xe2\x80\xae反</a>\n");
    }

    // The output without the rows' facts (FactsOutputTest covers them).
    [[nodiscard]] QString cells() const
    {
        static const QRegularExpression kFacts(QStringLiteral(
            R"(, "facts": \{.*?"baidu": (?:null|\{[^{}]*\}), "tls_error": (?:null|"(?:[^"\\]|\\.)*"), "our_link": (?:null|\{[^{}]*\})\})"));
        return outAtZeroMs().remove(kFacts);
    }

    const QStringList m_sites{"www.one.com", "www.gone.com", "www.two.com"};
};

const QString kOneRow = QString::fromUtf8(R"({"lianjie": "http://www.back.com/", "guanjianzi": "回链站\r\n", "fanlian": "一号", "shoulu": "约5篇", "kuaizhao": "3K 2026-1-2\r\n", "rp": "首页第一", "red": [])");

TEST_F(CheckCommandTest, OneSiteGivesTheOneSiteJsonAndNothingOnStderr)
{
    EXPECT_EQ(check({"www.one.com", "--format", "json"}), kExitOk);
    EXPECT_EQ(cells(), R"({"site": "www.one.com", "mode": "classic", "rows": [)" "\n  " + kOneRow + "}\n], " + homeOk("www.one.com") + "}\n");
    EXPECT_TRUE(err().isEmpty()) << "no progress when stderr is not a terminal";
}

// The formats themselves are pinned in OutputFormatsTest; here only that every site reaches them, in order.
TEST_F(CheckCommandTest, EverySiteInTheOrderGivenWithTheUnreachableNamed)
{
    EXPECT_EQ(check(m_sites + QStringList{"--format", "json"}), kExitUnreachable);
    const QString json = cells();
    EXPECT_TRUE(json.startsWith("{\"sites\": [\n{\"site\": \"www.one.com\", \"mode\": \"classic\", \"rows\": [\n  " + kOneRow))
        << json.toStdString();
    const qsizetype gone = json.indexOf(R"({"site": "www.gone.com", "mode": "classic", "unreachable": true, "rows": [], )");
    EXPECT_GT(gone, 0);
    EXPECT_GT(json.indexOf(R"({"site": "www.two.com")"), gone);
    EXPECT_EQ(err(), "网址可能无法访问：www.gone.com（连接被中断）\n");
    EXPECT_EQ(check(m_sites + QStringList{"--format", "jsonl"}), kExitUnreachable);
    EXPECT_EQ(cells().split('\n', Qt::SkipEmptyParts).size(), 3);
    for (const char *format : {"tsv", "csv", "table"}) {
        EXPECT_EQ(check(m_sites + QStringList{"--format", format}), kExitUnreachable);
        const QStringList lines = out().split('\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), QLatin1String(format) == "table" ? 5 : 4) << format;
        EXPECT_TRUE(lines[0].contains(QStringLiteral("站点"))) << "one header, with the site column";
        EXPECT_TRUE(lines[1].startsWith("www.one.com")) << format;
        EXPECT_TRUE(lines[3].startsWith("www.two.com")) << format;
    }
}

TEST_F(CheckCommandTest, HomePageWithAnHttpErrorIsSaidAndExitsThreeWithItsRowsKept)
{
    EXPECT_EQ(check({"www.nf.com", "--format", "json"}), kExitUnreachable);
    EXPECT_EQ(err(), "www.nf.com: 首页返回 HTTP 404\n");
    EXPECT_TRUE(cells().contains(R"("rows": [)" "\n  {\"lianjie\": \"http://www.back.com/\"")) << out().toStdString();
    EXPECT_TRUE(cells().contains(R"("home": {"status": 404, )")) << out().toStdString();
}

TEST_F(CheckCommandTest, TheSiteThatCannotBeFetchedIsNamedWithTheCause)
{
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const quint16 closedPort = closed.serverPort();
    closed.close(); // nobody listens there now
    const QString refused = QStringLiteral("127.0.0.1:%1").arg(closedPort);
    enum Route { ViaFakeweb, Direct, ClosedProxy };
    const struct {
        QString site;
        Route route;
        const char *line;
    } cases[] = {
        {"www.gone.com", ViaFakeweb, "网址可能无法访问：www.gone.com（连接被中断）"},
        {"www.nf-empty.com", ViaFakeweb, "网址可能无法访问：www.nf-empty.com（首页返回 HTTP 404）"},
        {refused, Direct, "（连接被拒绝）"},
        {"www.one.com", ClosedProxy, "网址可能无法访问：www.one.com（代理无法连接）"},
    };
    for (const auto &c : cases) {
        ParsedArguments parsed = parseArguments({"check", c.site, "--timeout-ms", "300"});
        ASSERT_EQ(parsed.action, ParsedArguments::Action::Check) << parsed.error.toStdString();
        if (c.route != Direct)
            parsed.options.settings.proxy = m_web.proxy();
        if (c.route == ClosedProxy)
            parsed.options.settings.proxy.setPort(closedPort);
        EXPECT_EQ(run(parsed.options), kExitUnreachable) << c.line;
        EXPECT_TRUE(err().endsWith(QString::fromUtf8(c.line) + "\n")) << err().toStdString();
        EXPECT_TRUE(out().isEmpty());
    }
}

TEST_F(CheckCommandTest, OutputThatCannotBeWrittenEndsWithExitFour)
{
    for (const char *format : {"json", "jsonl", "table"}) {
        ParsedArguments parsed = parseArguments({"check", "www.one.com", "--format", format});
        parsed.options.settings.proxy = m_web.proxy();
        EXPECT_EQ(run(parsed.options, fullDisk().get()), kExitOutputFailed) << format;
        EXPECT_TRUE(err().startsWith("friendlinks: 无法写出结果：")) << err().toStdString();
    }
}

TEST_F(CheckCommandTest, PageTextReachesNoTerminalOrSpreadsheetRaw)
{
    const QString escaped = QStringLiteral(R"(\x1b[2J\u202e反)");
    for (const char *format : {"table", "tsv"}) {
        EXPECT_EQ(check({"www.evil.com", "--format", format}), kExitOk);
        EXPECT_TRUE(out().contains(escaped)) << format << out().toStdString();
        EXPECT_FALSE(out().contains(QChar(0x1b)) || out().contains(QChar(0x202e))) << format;
    }
    EXPECT_EQ(check({"www.evil.com", "--format", "csv"}), kExitOk);
    EXPECT_TRUE(out().contains(",'=1+1,")) << out().toStdString();
    EXPECT_EQ(check({"www.evil.com", "--format", "json"}), kExitOk);
    EXPECT_TRUE(out().contains(QStringLiteral("\\u001b[2J\u202e反"))) << "json keeps the exact text";
}

TEST_F(CheckCommandTest, CapitalLettersInTheHostAreNotedInClassicAndLoweredInModern)
{
    EXPECT_EQ(check({"WWW.ONE.COM", "www.Two.com", "--format", "json"}), kExitOk);
    EXPECT_EQ(err().count("注意：查询字母不能大写\n"), 1) << err().toStdString();
    EXPECT_TRUE(out().contains(R"({"site": "WWW.ONE.COM")")) << "checked as typed";
    check({"WWW.ONE.COM", "--modern", "--format", "json"});
    EXPECT_FALSE(err().contains("注意")) << err().toStdString();
    EXPECT_TRUE(out().startsWith(R"({"site": "www.one.com")")) << out().toStdString();
}

} // namespace
} // namespace friendlinks
