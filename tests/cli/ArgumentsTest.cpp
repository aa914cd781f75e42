// What `friendlinks` makes of its arguments: the options of the check and of the window, and what it refuses.
#include "cli/CheckCommand.h"

#include "tools/fakeweb/FakeWeb.h"

#include "tests/common/QtPrinters.h"

#include <QTemporaryFile>

#include <gtest/gtest.h>

namespace friendlinks {
namespace {

using Action = ParsedArguments::Action;

TEST(ParseArguments, ReadsEveryOption)
{
    const QString ca = fakeweb::FakeWeb::authorityFile();
    const ParsedArguments parsed = parseArguments(
        {"check", "www.a.com", "b.com", "--format", "json", "--proxy", "http://127.0.0.1:3128", "--baidu-host=baidu.test",
         "--jobs", "3", "--timeout-ms", "250", "--ca-file", ca, "--insecure", "--modern", "--facts", "--baidu-interval-ms=1500"});
    ASSERT_EQ(parsed.action, Action::Check) << parsed.error.toStdString();
    const CheckSettings &s = parsed.options.settings;
    EXPECT_EQ(parsed.options.site, "www.a.com");
    EXPECT_EQ(parsed.options.sites, (QStringList{"www.a.com", "b.com"}));
    EXPECT_EQ(parsed.options.format, OutputFormat::Json);
    EXPECT_EQ(s.proxy.type(), QNetworkProxy::HttpProxy);
    EXPECT_EQ(s.proxy.hostName(), "127.0.0.1");
    EXPECT_EQ(s.proxy.port(), 3128);
    EXPECT_EQ(s.baiduHost, "baidu.test");
    EXPECT_EQ(s.jobs, 3);
    EXPECT_EQ(s.timeoutMs, 250);
    EXPECT_EQ(s.authorities, fakeweb::FakeWeb::authority());
    EXPECT_TRUE(s.insecure);
    EXPECT_TRUE(s.modern);
    EXPECT_TRUE(parsed.options.facts);
    EXPECT_EQ(s.baiduIntervalMs, 1500);

    const ParsedArguments plain = parseArguments({"check", "a.com"});
    EXPECT_EQ(plain.options.format, OutputFormat::Table);
    EXPECT_TRUE(plain.options.settings.authorities.isEmpty());
    EXPECT_FALSE(plain.options.settings.insecure || plain.options.settings.modern || plain.options.facts);
    EXPECT_EQ(plain.options.settings.baiduIntervalMs, 0);
    for (const char *format : {"table", "tsv", "csv", "json", "jsonl"})
        EXPECT_EQ(parseArguments({"check", "a.com", "--format", format}).action, Action::Check) << format;
    EXPECT_EQ(parseArguments({"check", "a.com", "--format", "jsonl"}).options.format, OutputFormat::Jsonl);
    EXPECT_TRUE(usageText().contains(QStringLiteral("--baidu-interval-ms")));
    EXPECT_TRUE(usageText().contains(QStringLiteral("--facts")));
}

TEST(ParseArguments, RoutesToWindowVersionHelpOrCheck)
{
    EXPECT_EQ(parseArguments({}).action, Action::Window);
    EXPECT_EQ(parseArguments({"--proxy", "127.0.0.1:8080"}).action, Action::Window);
    EXPECT_EQ(parseArguments({"--version"}).action, Action::Version);
    EXPECT_EQ(parseArguments({"check", "-h"}).action, Action::Help);
    const ParsedArguments window = parseArguments({"--modern", "--insecure", "--ca-file=" + fakeweb::FakeWeb::authorityFile(),
                                                   "--baidu-interval-ms", "200"});
    ASSERT_EQ(window.action, Action::Window) << window.error.toStdString();
    EXPECT_TRUE(window.options.settings.modern && window.options.settings.insecure);
    EXPECT_EQ(window.options.settings.authorities, fakeweb::FakeWeb::authority());
    EXPECT_EQ(window.options.settings.baiduIntervalMs, 200);
}

TEST(ParseArguments, RejectsWhatItCannotUseAndSaysWhy)
{
    QTemporaryFile notPem;
    ASSERT_TRUE(notPem.open());
    notPem.write("not a certificate\n");
    notPem.flush();
    const std::pair<QStringList, const char *> bad[] = {
        {{"check"}, ""},
        {{"check", "a.com", "--format", "xml"}, ""},
        {{"check", "a.com", "--jobs", "0"}, ""},
        {{"check", "a.com", "--jobs", "65"}, ""},
        {{"check", "a.com", "--jobs"}, "--jobs needs a value"},
        {{"check", "a.com", "--timeout-ms", "soon"}, ""},
        {{"check", "a.com", "--proxy", "socks5://127.0.0.1:1080"}, ""},
        {{"check", "a.com", "--fast"}, "unknown option --fast"},
        {{"check", "a.com", "--insecure=yes"}, ""},
        {{"check", "a.com", "--baidu-interval-ms", "-1"}, ""},
        {{"check", "a.com", "--ca-file", notPem.fileName()}, "holds no PEM certificate"},
        {{"--ca-file", "/nonexistent/ca.pem"}, "cannot read"},
        {{"check", "--sites", "/nonexistent/sites.txt"}, "/nonexistent/sites.txt"},
        {{"--facts"}, ""}, // the window has no --facts
        {{"--jobs", "4"}, ""},
        {{"inspect", "a.com"}, ""},
    };
    for (const auto &[arguments, reason] : bad) {
        const ParsedArguments parsed = parseArguments(arguments);
        EXPECT_EQ(parsed.action, Action::UsageError) << arguments.join(' ').toStdString();
        EXPECT_FALSE(parsed.error.isEmpty());
        EXPECT_TRUE(parsed.error.contains(QString::fromUtf8(reason))) << parsed.error.toStdString();
    }
}

TEST(SitesList, SkipsBlankAndCommentLines)
{
    EXPECT_EQ(parseSitesList("www.a.com\n\n# mine\n  www.b.com  \r\n\t\n#www.c.com\nwww.d.com"),
              (QStringList{"www.a.com", "www.b.com", "www.d.com"}));
    EXPECT_TRUE(parseSitesList("# nothing\n\n").isEmpty());
}

} // namespace
} // namespace friendlinks
