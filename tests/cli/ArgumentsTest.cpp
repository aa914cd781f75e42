// What `friendlinks` makes of its arguments: the options of the check and of the window, and what it refuses.
#include "cli/CheckCommand.h"
#include "cli/Commands.h"
#include "check/SiteText.h"

#include "tools/fakeweb/FakeWeb.h"

#include "tests/common/QtPrinters.h"

#include <QCoreApplication>
#include <QTemporaryFile>

#include <gtest/gtest.h>

namespace friendlinks {
namespace {

using Action = ParsedArguments::Action;

TEST(ParseArguments, ReadsEveryOption)
{
    const ParsedArguments parsed = parseArguments(
        {"check", "www.a.com", "b.com", "--format", "json", "--proxy", "http://127.0.0.1:3128", "--baidu-host=baidu.test",
         "--jobs", "3", "--timeout-ms", "250", "--ca-file", fakeweb::FakeWeb::authorityFile(), "--insecure", "--modern",
         "--facts", "--baidu-interval-ms=1500", "--spider-check"});
    ASSERT_EQ(parsed.action, Action::Run) << parsed.error.toStdString();
    const CheckSettings &s = parsed.options.settings;
    EXPECT_EQ(parsed.options.site, "www.a.com");
    EXPECT_EQ(parsed.options.sites, (QStringList{"www.a.com", "b.com"}));
    EXPECT_EQ(parsed.options.format, OutputFormat::Json);
    EXPECT_EQ(s.proxy, QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", 3128));
    EXPECT_EQ(s.baiduHost, "baidu.test");
    EXPECT_EQ(s.jobs, 3);
    EXPECT_EQ(s.timeoutMs, 250);
    EXPECT_EQ(QSslCertificate::fromData(s.authorityPem), fakeweb::FakeWeb::authority());
    EXPECT_TRUE(s.insecure && s.modern && parsed.options.facts && s.spiderCheck);
    EXPECT_EQ(s.baiduIntervalMs, 1500);
    EXPECT_FALSE(parseArguments({"check", "a.com"}).options.settings.spiderCheck) << "classic asks the spider's view only when told";

    // Without --proxy the environment's settings; --no-proxy and --proxy '' turn them off, also in the window.
    EXPECT_EQ(parseArguments({"check", "a.com"}).options.settings.proxy.type(), QNetworkProxy::DefaultProxy);
    for (const QStringList &off : {QStringList{"check", "a.com", "--no-proxy"}, {"check", "a.com", "--proxy", ""},
                                   {"--proxy="}, {"--no-proxy"}})
        EXPECT_EQ(parseArguments(off).options.settings.proxy.type(), QNetworkProxy::NoProxy) << off.join(' ').toStdString();

    // The other defaults show in CheckCommandTest's runs (table, classic, no facts, no trust but the system's).
    EXPECT_EQ(parseArguments({"check", "a.com"}).options.settings.baiduIntervalMs, 0);
    EXPECT_TRUE(usageText().contains(QStringLiteral("--baidu-interval-ms")));
    EXPECT_TRUE(usageText().contains(QStringLiteral("--facts")));
}

TEST(ParseArguments, RoutesToWindowVersionHelpOrCheck)
{
    EXPECT_EQ(parseArguments({}).action, Action::Window);
    EXPECT_EQ(parseArguments({"--proxy", "127.0.0.1:8080"}).action, Action::Window);
    EXPECT_EQ(parseArguments({"--version"}).action, Action::Version);
    EXPECT_EQ(parseArguments({"check", "-h"}).action, Action::Help);
    EXPECT_EQ(parseArguments({"check", "a.com", "--help"}).help, checkUsageText());
    EXPECT_EQ(parseArguments({"--help"}).help, usageText());
    EXPECT_TRUE(usageText().contains(checkUsageText().section(QStringLiteral("\n\n"), 1)) && usageText().contains("friendlinks diff"));
    // The first block names every command, diff too.
    EXPECT_TRUE(usageText().section(QStringLiteral("\n\n"), 0, 0).contains(QStringLiteral("friendlinks diff OLD.json")));
    const ParsedArguments window = parseArguments({"--modern", "--insecure", "--ca-file=" + fakeweb::FakeWeb::authorityFile(),
                                                   "--baidu-interval-ms", "200"});
    ASSERT_EQ(window.action, Action::Window) << window.error.toStdString();
    EXPECT_TRUE(window.options.settings.modern && window.options.settings.insecure);
    EXPECT_EQ(QSslCertificate::fromData(window.options.settings.authorityPem), fakeweb::FakeWeb::authority());
    EXPECT_EQ(window.options.settings.baiduIntervalMs, 200);
}

// Every command of the registry: found by its name, in the usage block, its own help; diff's options read
// by the same table as check's, each command taking only its own.
TEST(Commands, AreListedInTheHelpAndTakeTheirOwnOptionsFromTheTable)
{
    for (const Command *command : commands()) {
        EXPECT_EQ(findCommand(command->name()), command);
        EXPECT_TRUE(usageText().section(QStringLiteral("\n\n"), 0, 0).contains(command->synopsis()));
        EXPECT_EQ(parseArguments({command->name(), "-h"}).help, command->help());
        EXPECT_TRUE(command->help().startsWith(QStringLiteral("usage: friendlinks %1 ").arg(command->name())));
    }
    const ParsedArguments diff = parseArguments({"diff", "old.json", "--format=json", "new.json"});
    ASSERT_EQ(diff.action, Action::Run) << diff.error.toStdString();
    EXPECT_EQ(diff.command, findCommand("diff"));
    EXPECT_EQ(diff.diff.files, (QStringList{"old.json", "new.json"}));
    EXPECT_TRUE(diff.diff.json);
    const std::pair<QStringList, const char *> bad[] = {
        {{"diff", "a", "b", "--format", "csv"}, "--format must be table or json, not \"csv\""},
        {{"diff", "a", "b", "--format"}, "--format needs a value"},
        {{"diff", "a", "b", "--facts"}, "unknown option --facts"},
        {{"diff", "--version"}, "unknown option --version"},
        {{"diff", "a", "b", "c"}, "diff needs two files"},
        {{"diff"}, "or a SITE"},
        {{"check", "a.com", "--format", "json", "x.json", "--format", "html"}, "--format must be table, tsv"},
    };
    for (const auto &[arguments, reason] : bad) {
        const ParsedArguments parsed = parseArguments(arguments);
        EXPECT_EQ(parsed.action, Action::UsageError) << arguments.join(' ').toStdString();
        EXPECT_EQ(parsed.command, findCommand(arguments.first()));
        EXPECT_TRUE(parsed.error.contains(QString::fromUtf8(reason))) << parsed.error.toStdString();
    }
}

// A --sites file holding bytes, kept for the rest of the test run.
QString textFile(const QByteArray &bytes)
{
    auto *file = new QTemporaryFile(qApp);
    EXPECT_TRUE(file->open());
    file->write(bytes);
    file->flush();
    return file->fileName();
}

TEST(ParseArguments, RejectsWhatItCannotUseAndSaysWhy)
{
    // One row a way to fail: each value check, the option forms, the window's options, the sites and their file.
    const std::pair<QStringList, const char *> bad[] = {
        {{"check"}, "needs a SITE"},
        {{"check", "a.com", "--format", "xml"}, "--format must be"},
        {{"check", "a.com", "--jobs", "65"}, "--jobs must be a number from 1 to 64"},
        {{"check", "a.com", "--jobs"}, "--jobs needs a value"},
        {{"check", "a.com", "--proxy", "socks5://127.0.0.1:1080"}, "--proxy needs an http://"},
        {{"check", "a.com", "--baidu-host", "a/b"}, "--baidu-host needs a host name"},
        {{"check", "a.com", "--fast"}, "unknown option --fast"},
        {{"check", "a.com", "--insecure=yes"}, "--insecure takes no value"},
        {{"check", "a.com", "--no-proxy=x"}, "--no-proxy takes no value"},
        {{"check", "a.com", "--ca-file", textFile("not a certificate\n")}, "holds no PEM certificate"},
        {{"--ca-file", "/nonexistent/ca.pem"}, "cannot read"},
        {{"--facts"}, "unknown option --facts"}, // the window has no --facts
        {{"inspect", "a.com"}, "unknown command"},
        {{"check", " \t"}, "blank"},
        {{"check", "http://"}, "no host"},
        {{"check", "javascript:alert(1)"}, "not javascript:"},
        {{"check", "-x"}, "unknown option -x"},
        {{"check", "www.a\x1b[2J.com"}, "control character"},
        {{"check", "--sites", textFile("www.a.com\n-rf\n")}, "line 2: \"-rf\" is no option and no site"},
        {{"check", "--sites", textFile("-" + QByteArray(5000, 'x'))}, "line 1: \"-xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx…\" is no"},
        {{"check", "--sites", "/nonexistent/sites.txt"}, "cannot read \"/nonexistent/sites.txt\": "}, // the system's reason follows
        {{"check", "www.x.com:99999"}, "the port must be from 1 to 65535"},
        {{"check", "a.com", "--proxy", "nothing"}, "--proxy needs an http://"},
        {{"check", "--sites", textFile("# none\n")}, "--sites lists no site"},
        {{"check", "--sites", textFile(QByteArray("www.a.com\nbin\0ary\n", 18))}, "not a text file: line 2 holds a NUL byte"},
        {{"check", "--sites", textFile("\xEF\xBB\xBFwww.a.com\n\n\xff\xfe\n")}, "line 3 is not UTF-8"},
    };
    for (const auto &[arguments, reason] : bad) {
        const ParsedArguments parsed = parseArguments(arguments);
        EXPECT_EQ(parsed.action, Action::UsageError) << arguments.join(' ').toStdString();
        EXPECT_TRUE(parsed.error.contains(QString::fromUtf8(reason))) << parsed.error.toStdString();
    }
    for (const char *site : {"www.a.com:8080", "HTTP://WWW.A.COM/x?y=1", "localhost", "https://a.com", "a.com/x://y"})
        EXPECT_EQ(parseArguments({"check", site}).action, Action::Run) << site;
    // Blank lines and "#" lines are skipped, each line trimmed, a byte-order mark dropped.
    const QString sites = textFile("\xEF\xBB\xBF# 我的\nwww.a.com\r\n\n  www.b.com  # 老朋友\n\t\n#www.c.com\nwww.d.com/#x");
    EXPECT_EQ(parseArguments({"check", "--sites", sites}).options.sites,
              (QStringList{"www.a.com", "www.b.com", "www.d.com/#x"}));
}

TEST(ParseArguments, BaiduMaxAgeTakesADurationWithItsUnit)
{
    const std::pair<const char *, std::optional<qint64>> durations[] = {
        {"0", 0},          {"90m", 90 * 60'000},       {"12h", 12 * 3'600'000LL}, {"1d", 86'400'000},
        {"45s", 45'000},   {"366d", 366 * 86'400'000LL}, {"", std::nullopt},      {"12", std::nullopt},
        {"1.5h", std::nullopt}, {"-1d", std::nullopt}, {"1w", std::nullopt},      {"12H", std::nullopt},
        {" 1d", std::nullopt},  {"1d2h", std::nullopt}, {"9999999999d", std::nullopt},
    };
    for (const auto &[text, ms] : durations)
        EXPECT_EQ(durationMs(QString::fromUtf8(text)), ms) << text;

    EXPECT_EQ(parseArguments({"check", "a.com"}).options.settings.baiduMaxAgeMs, 0) << "asks anew by default";
    const ParsedArguments day = parseArguments({"check", "a.com", "--baidu-max-age", "1d"});
    ASSERT_EQ(day.action, Action::Run) << day.error.toStdString();
    EXPECT_EQ(day.options.settings.baiduMaxAgeMs, 86'400'000);
    EXPECT_EQ(day.options.settings.baiduAnswerHistory, "") << "the command names the file, from --history";
    for (const QStringList &bad : {QStringList{"check", "a.com", "--baidu-max-age", "12"},
                                   {"check", "a.com", "--baidu-max-age", "367d"}}) {
        const ParsedArguments parsed = parseArguments(bad);
        EXPECT_EQ(parsed.action, Action::UsageError);
        EXPECT_TRUE(parsed.error.contains("--baidu-max-age needs a duration such as 12h")) << parsed.error.toStdString();
    }
    EXPECT_TRUE(usageText().contains(QStringLiteral("--baidu-max-age")));
}

TEST(UsageError, IsTwoLinesWithWhatIsQuotedEscaped)
{
    EXPECT_EQ(usageErrorText("check", "site \"a\x1b[2Jb\u202e\""),
              "friendlinks check: site \"a\\x1b[2Jb\\u202e\"\nTry \"friendlinks check --help\" for the options.\n");
    EXPECT_TRUE(usageErrorText("", "x").startsWith("friendlinks: x\nTry \"friendlinks --help\""));
}

TEST(SiteText, CapitalLettersOfTheHost)
{
    const std::tuple<const char *, bool, const char *> cases[] = {
        {"www.a.com", false, "www.a.com"},
        {"WWW.A.com/About", true, "www.a.com/About"},
        {"www.a.com/About", false, "www.a.com/About"},
        {"HTTPS://Www.A.com:8080/Path?Q", true, "https://www.a.com:8080/Path?Q"},
        {" Www.a.com ", true, "www.a.com"},
    };
    for (const auto &[site, upper, lowered] : cases) {
        EXPECT_EQ(hasUpperCaseHost(site), upper) << site;
        EXPECT_EQ(withLowerCaseHost(site), lowered) << site;
    }
}

TEST(Colour, OnlyOnATerminalWithoutNoColorOrADumbTerm)
{
    EXPECT_TRUE(colourWanted(true, false, "xterm-256color"));
    EXPECT_TRUE(colourWanted(true, false, ""));
    EXPECT_FALSE(colourWanted(false, false, "xterm"));
    EXPECT_FALSE(colourWanted(true, true, "xterm"));
    EXPECT_FALSE(colourWanted(true, false, "dumb"));
}

// The window's own operand and options: a site for its box, --check to press 查询, the check's settings;
// the options given are named, so that they can win over what the window remembers.
TEST(ParseArguments, TheWindowTakesASiteAndNamesTheOptionsGiven)
{
    const ParsedArguments window = parseArguments({"www.demo-home.com", "--check", "--jobs", "3", "--timeout-ms=900",
                                                   "--baidu-max-age", "12h", "--no-proxy"});
    ASSERT_EQ(window.action, Action::Window) << window.error.toStdString();
    EXPECT_EQ(window.options.site, "www.demo-home.com");
    EXPECT_TRUE(window.checkAtStart);
    EXPECT_EQ(window.options.settings.jobs, 3);
    EXPECT_EQ(window.options.settings.timeoutMs, 900);
    EXPECT_EQ(window.options.settings.baiduMaxAgeMs, 12LL * 60 * 60 * 1000);
    EXPECT_EQ(window.givenOptions, (QStringList{"--check", "--jobs", "--timeout-ms", "--baidu-max-age", "--no-proxy"}));

    const ParsedArguments plain = parseArguments({"http://www.a.com/"});
    EXPECT_EQ(plain.action, Action::Window);
    EXPECT_FALSE(plain.checkAtStart);
    EXPECT_TRUE(parseArguments({}).givenOptions.isEmpty());

    const std::pair<QStringList, const char *> bad[] = {
        {{"--check"}, "--check needs a SITE"},
        {{"www.a.com", "www.b.com"}, "the window takes one SITE"},
        {{"chek", "www.a.com"}, "unknown command \"chek\""}, // a mistyped command is no site
        {{"javascript://a.com/"}, "not javascript:"},
        {{"javascript:alert(1)"}, "unknown command"}, // no dot, no "://": not taken for a site
        {{"check", "a.com", "--check"}, "unknown option --check"},
    };
    for (const auto &[arguments, error] : bad) {
        const ParsedArguments parsed = parseArguments(arguments);
        EXPECT_EQ(parsed.action, Action::UsageError) << arguments.join(' ').toStdString();
        EXPECT_TRUE(parsed.error.contains(QString::fromUtf8(error)))
            << arguments.join(' ').toStdString() << ": " << parsed.error.toStdString();
    }
}

TEST(SiteList, ReadsAsTheSitesFileIsRead)
{
    const SiteList list = readSiteList(QStringLiteral("# mine\n www.a.com \n\nb.com/#top  # the second\r\n"));
    EXPECT_EQ(list.sites, (QStringList{"www.a.com", "b.com/#top"}));
    EXPECT_TRUE(list.problem.isEmpty());
    const SiteList bad = readSiteList(QStringLiteral("www.a.com\n-rf\nwww.c.com\n"));
    EXPECT_TRUE(bad.sites.isEmpty());
    EXPECT_EQ(bad.problemLine, 2);
    EXPECT_TRUE(bad.problem.contains(QStringLiteral("is no option and no site"))) << bad.problem.toStdString();
}

} // namespace
} // namespace friendlinks
