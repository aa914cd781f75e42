#include "cli/CheckCommand.h"

#include "tests/common/QtPrinters.h"
#include "tools/fakeweb/FakeWeb.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace friendlinks {
namespace {

using Action = ParsedArguments::Action;

TEST(ParseArguments, ReadsEveryOption)
{
    const ParsedArguments parsed =
        parseArguments({"check", "www.a.com", "--format", "json", "--proxy", "http://127.0.0.1:3128",
                        "--baidu-host=baidu.test", "--jobs", "3", "--timeout-ms", "250"});
    ASSERT_EQ(parsed.action, Action::Check) << parsed.error.toStdString();
    EXPECT_EQ(parsed.options.site, "www.a.com");
    EXPECT_EQ(parsed.options.format, OutputFormat::Json);
    EXPECT_EQ(parsed.options.settings.proxy.type(), QNetworkProxy::HttpProxy);
    EXPECT_EQ(parsed.options.settings.proxy.hostName(), "127.0.0.1");
    EXPECT_EQ(parsed.options.settings.proxy.port(), 3128);
    EXPECT_EQ(parsed.options.settings.baiduHost, "baidu.test");
    EXPECT_EQ(parsed.options.settings.jobs, 3);
    EXPECT_EQ(parsed.options.settings.timeoutMs, 250);
}

TEST(ParseArguments, RoutesToWindowVersionHelpOrCheck)
{
    EXPECT_EQ(parseArguments({"check", "www.a.com"}).options.format, OutputFormat::Table);
    EXPECT_EQ(parseArguments({}).action, Action::Window);
    EXPECT_EQ(parseArguments({"--proxy", "127.0.0.1:8080"}).action, Action::Window);
    EXPECT_EQ(parseArguments({"--version"}).action, Action::Version);
    EXPECT_EQ(parseArguments({"check", "-h"}).action, Action::Help);
}

TEST(ParseArguments, RejectsWhatItCannotUse)
{
    const QStringList bad[] = {
        {"check"},
        {"check", "a.com", "--format", "xml"},
        {"check", "a.com", "--jobs", "0"},
        {"check", "a.com", "--jobs", "65"},
        {"check", "a.com", "--jobs"},
        {"check", "a.com", "--timeout-ms", "soon"},
        {"check", "a.com", "--proxy", "socks5://127.0.0.1:1080"},
        {"check", "a.com", "--colour"},
        {"--jobs", "4"},
        {"inspect", "a.com"},
    };
    EXPECT_EQ(parseArguments({"check", "a.com", "--fast"}).error, "unknown option --fast");
    EXPECT_EQ(parseArguments({"check", "a.com", "--jobs"}).error, "--jobs needs a value");
    for (const QStringList &arguments : bad) {
        const ParsedArguments parsed = parseArguments(arguments);
        EXPECT_EQ(parsed.action, Action::UsageError) << arguments.join(' ').toStdString();
        EXPECT_FALSE(parsed.error.isEmpty());
    }
}

class CheckCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_web.listen());
        m_web.world().setPage("http://www.home9.com/", "<a href=\"http://www.back.com/\">回链站</a>\n");
        m_web.world().setPage("http://www.back.com/", "<a href=\"http://www.home9.com/\">首页之家</a>");
        m_web.world().setPage("http://www.baidu.com/s?wd=site:www.back.com/",
                              "百度一下，找到相关网页约5篇，用时0.1秒<font color=#008000>www.back.com/ 3K 2026-1-2</font>");
    }

    // Runs the command to its end; returns the exit status.
    int run(const QString &site, OutputFormat format)
    {
        CheckOptions options;
        options.site = site;
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

    fakeweb::FakeWeb m_web;
    QBuffer m_out;
    QBuffer m_err;
};

TEST_F(CheckCommandTest, JsonOfAFinishedCheck)
{
    EXPECT_EQ(run("www.home9.com", OutputFormat::Json), kExitOk);
    // The time taken is the one figure that differs from run to run.
    const QString json = QString::fromUtf8(m_out.data()).replace(QRegularExpression(R"("ms": \d+)"), R"("ms": 0)");
    EXPECT_EQ(json,
              QString::fromUtf8(R"({"site": "www.home9.com", "mode": "classic", "rows": [)" "\n"
                                R"(  {"lianjie": "http://www.back.com/", "guanjianzi": "回链站\r\n", "fanlian": "首页之家", "shoulu": "约5篇", "kuaizhao": "3K 2026-1-2\r\n", "rp": "首页第一", "red": [], )"
                                R"("facts": {"status": 200, "final_url": "http://www.back.com/", "ms": 0, "backlink": {"href": "http://www.home9.com/", "rel": [], "follow": true}, "page_nofollow": false, "outbound": 1, "baidu": {"state": "ok", "count": null}, "tls_error": null}})" "\n"
                                "]}\n"));
    EXPECT_TRUE(m_err.data().isEmpty()) << "no progress when stderr is not a terminal";
}

} // namespace
} // namespace friendlinks
