#include "cli/Arguments.h"

#include "check/BoundedRead.h"
#include "check/SiteText.h"

#include <QFile>
#include <QRegularExpression>
#include <QUrl>

#include <optional>

namespace friendlinks {
namespace {

constexpr int kMaxTimeoutMs = 10 * 60 * 1000;
constexpr int kMaxBaiduIntervalMs = 10 * 60 * 1000;
constexpr int kMaxPruneDays = 100 * 366;
constexpr qint64 kMaxBaiduAgeMs = 366LL * 24 * 60 * 60 * 1000;

// What an option does with its value: empty, or why the value cannot be used.
using ApplyOption = QString (*)(const QString &value, ParsedArguments &parsed);

// One option of the command line. commands names those that take it, a blank
// between two ("*": every command and the window).
struct OptionSpec {
    QLatin1StringView name;
    QLatin1StringView commands;
    bool takesValue;
    ApplyOption apply;
};

// An option that fills the check's (and the window's) options.
template <QString (*Apply)(const QString &, CheckOptions &)>
QString onCheck(const QString &value, ParsedArguments &parsed)
{
    return Apply(value, parsed.options);
}

// --help and --version: the rest of the arguments is not read.
template <ParsedArguments::Action Action>
QString stopWith(const QString &, ParsedArguments &parsed)
{
    parsed.action = Action;
    return {};
}

std::optional<int> parseNumber(const QString &text, int low, int high)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

QString applyProxy(const QString &value, CheckOptions &options)
{
    if (value.isEmpty()) { // as with curl: no proxy, whatever the environment says
        options.settings.proxy = QNetworkProxy(QNetworkProxy::NoProxy);
        return {};
    }
    const bool schemeGiven = value.contains(QLatin1String("://"));
    const QUrl url(schemeGiven ? value : QStringLiteral("http://") + value, QUrl::StrictMode);
    // Without a scheme a port is needed: "--proxy nothing" is a slip, not a proxy named "nothing".
    if (!url.isValid() || url.host().isEmpty() || (!schemeGiven && url.port() < 0) || url.scheme().compare(QLatin1String("http"), Qt::CaseInsensitive) != 0)
        return QStringLiteral("--proxy needs an http://HOST:PORT address, not \"%1\"").arg(value);
    options.settings.proxy = QNetworkProxy(QNetworkProxy::HttpProxy, url.host(), quint16(url.port(8080)),
                                           url.userName(), url.password());
    return {};
}

QString applyBaiduHost(const QString &value, CheckOptions &options)
{
    if (value.isEmpty() || value.contains(QLatin1Char('/')) || value.contains(QLatin1Char(' ')))
        return QStringLiteral("--baidu-host needs a host name, not \"%1\"").arg(value);
    options.settings.baiduHost = value;
    return {};
}

QString applyCaFile(const QString &path, CheckOptions &options)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("--ca-file cannot read \"%1\"").arg(path);
    // Only looked at here: reading certificates loads Qt's TLS back end, which
    // before the application object exists warns of a null connection.
    const QByteArray pem = file.readAll();
    if (!pem.contains("-----BEGIN CERTIFICATE-----"))
        return QStringLiteral("--ca-file \"%1\" holds no PEM certificate").arg(path);
    options.settings.authorityPem += pem + '\n';
    return {};
}

// A number option: the setting it fills and its bounds.
template <int CheckSettings::*Setting, int Low, int High>
QString applyNumber(const QString &value, CheckOptions &options)
{
    const auto number = parseNumber(value, Low, High);
    if (!number)
        return QStringLiteral("must be a number from %1 to %2").arg(Low).arg(High);
    options.settings.*Setting = *number;
    return {};
}

QString applyBaiduMaxAge(const QString &value, CheckOptions &options)
{
    const std::optional<qint64> age = durationMs(value);
    if (!age || *age > kMaxBaiduAgeMs)
        return QStringLiteral("--baidu-max-age needs a duration such as 12h, 1d, 90m or 0 (at most 366d), not \"%1\"")
            .arg(value);
    options.settings.baiduMaxAgeMs = *age;
    return {};
}

QString applyFormat(const QString &value, CheckOptions &options)
{
    static const std::pair<QLatin1StringView, OutputFormat> kFormats[] = {
        {QLatin1StringView("table"), OutputFormat::Table}, {QLatin1StringView("tsv"), OutputFormat::Tsv},
        {QLatin1StringView("csv"), OutputFormat::Csv},     {QLatin1StringView("json"), OutputFormat::Json},
        {QLatin1StringView("jsonl"), OutputFormat::Jsonl},
    };
    for (const auto &[name, format] : kFormats) {
        if (value == name) {
            options.format = format;
            return {};
        }
    }
    return QStringLiteral("--format must be table, tsv, csv, json or jsonl, not \"%1\"").arg(value);
}

// The sites listed in a file, "-" being standard input: one a line, blank
// lines and comments skipped, blanks around a site dropped.
QString applySites(const QString &path, ParsedArguments &parsed)
{
    parsed.sitesGiven = true;
    QFile file;
    const bool opened = path == QLatin1String("-") ? file.open(stdin, QIODevice::ReadOnly)
                                                    : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    if (!opened)
        return QStringLiteral("--sites cannot read \"%1\": %2").arg(path, file.errorString());
    const std::optional<QByteArray> text = readAtMost(file, kMaxSitesFileBytes);
    if (!text)
        return QStringLiteral("--sites \"%1\" is larger than %2 MB").arg(path).arg(kMaxSitesFileBytes / (1024 * 1024));
    const QByteArray &bytes = *text;
    if (const QString problem = sitesFileProblem(bytes); !problem.isEmpty())
        return QStringLiteral("--sites \"%1\" is not a text file: %2").arg(path, problem);
    const SiteList list = readSiteList(QString::fromUtf8(bytes));
    if (!list.problem.isEmpty())
        return QStringLiteral("--sites \"%1\" line %2: %3").arg(path, QString::number(list.problemLine), list.problem);
    parsed.options.sites << list.sites;
    return {};
}

QString applyDiffFormat(const QString &value, ParsedArguments &parsed)
{
    if (value != QLatin1String("table") && value != QLatin1String("json"))
        return QStringLiteral("--format must be table or json, not \"%1\"").arg(value);
    parsed.diff.json = value == QLatin1String("json");
    return {};
}

QString applyHistory(const QString &path, CheckOptions &options)
{
    if (path.isEmpty())
        return QStringLiteral("--history needs a file name");
    options.history = HistoryChoice{path, false};
    return {};
}

QString applyHistoryFormat(const QString &value, ParsedArguments &parsed)
{
    using Format = HistoryQuery::Format;
    static const std::pair<QLatin1StringView, Format> kFormats[] = {
        {QLatin1StringView("table"), Format::Table}, {QLatin1StringView("tsv"), Format::Tsv},
        {QLatin1StringView("json"), Format::Json}, {QLatin1StringView("csv"), Format::Csv},
    };
    for (const auto &[name, format] : kFormats) {
        if (value == name) {
            parsed.historyQuery.format = format;
            return {};
        }
    }
    return QStringLiteral("--format must be table, tsv, csv or json, not \"%1\"").arg(value);
}

QString applyHistoryFriend(const QString &value, ParsedArguments &parsed)
{
    if (value.trimmed().isEmpty())
        return QStringLiteral("--friend needs the friend's address");
    parsed.historyQuery.friendLink = value;
    return {};
}

QString applySince(const QString &value, ParsedArguments &parsed)
{
    const QDate day = QDate::fromString(value, Qt::ISODate);
    if (!day.isValid() || value.size() != 10)
        return QStringLiteral("--since needs a day as YYYY-MM-DD, not \"%1\"").arg(value);
    parsed.diff.since = day;
    return {};
}

template <ChangesShown Shown>
QString applyChanges(const QString &, ParsedArguments &parsed)
{
    parsed.options.changes = Shown;
    return {};
}

QString applyPrune(const QString &value, ParsedArguments &parsed)
{
    const auto days = parseNumber(value, 0, kMaxPruneDays);
    if (!days)
        return QStringLiteral("must be a number of days from 0 to %1").arg(kMaxPruneDays);
    parsed.historyQuery.pruneDays = *days;
    return {};
}

QString applyReportFriend(const QString &value, ParsedArguments &parsed)
{
    if (value.trimmed().isEmpty())
        return QStringLiteral("--friend needs the friend's address");
    parsed.reportQuery.friendAddress = value.trimmed();
    return {};
}

constexpr QLatin1StringView kWindowAndCheck("window check");
constexpr QLatin1StringView kWindow("window");
constexpr QLatin1StringView kCheck("check");

const OptionSpec kOptions[] = {
    {QLatin1StringView("--help"), QLatin1StringView("*"), false, stopWith<ParsedArguments::Action::Help>},
    {QLatin1StringView("-h"), QLatin1StringView("*"), false, stopWith<ParsedArguments::Action::Help>},
    {QLatin1StringView("--version"), kWindowAndCheck, false, stopWith<ParsedArguments::Action::Version>},
    {QLatin1StringView("--proxy"), kWindowAndCheck, true, onCheck<applyProxy>},
    {QLatin1StringView("--no-proxy"), kWindowAndCheck, false,
     [](const QString &, ParsedArguments &parsed) { return applyProxy(QString(), parsed.options); }},
    {QLatin1StringView("--baidu-host"), kWindowAndCheck, true, onCheck<applyBaiduHost>},
    {QLatin1StringView("--ca-file"), kWindowAndCheck, true, onCheck<applyCaFile>},
    {QLatin1StringView("--baidu-interval-ms"), kWindowAndCheck, true,
     onCheck<applyNumber<&CheckSettings::baiduIntervalMs, 0, kMaxBaiduIntervalMs>>},
    {QLatin1StringView("--baidu-max-age"), kWindowAndCheck, true, onCheck<applyBaiduMaxAge>},
    {QLatin1StringView("--insecure"), kWindowAndCheck, false,
     [](const QString &, ParsedArguments &parsed) { parsed.options.settings.insecure = true; return QString(); }},
    {QLatin1StringView("--modern"), kWindowAndCheck, false,
     [](const QString &, ParsedArguments &parsed) { parsed.options.settings.modern = true; return QString(); }},
    {QLatin1StringView("--spider-check"), kWindowAndCheck, false,
     [](const QString &, ParsedArguments &parsed) { parsed.options.settings.spiderCheck = true; return QString(); }},
    {QLatin1StringView("--facts"), kCheck, false,
     [](const QString &, ParsedArguments &parsed) { parsed.options.facts = true; return QString(); }},
    {QLatin1StringView("--format"), kCheck, true, onCheck<applyFormat>},
    {QLatin1StringView("--sites"), kCheck, true, applySites},
    {QLatin1StringView("--jobs"), kWindowAndCheck, true, onCheck<applyNumber<&CheckSettings::jobs, 1, kMaxJobs>>},
    {QLatin1StringView("--timeout-ms"), kWindowAndCheck, true,
     onCheck<applyNumber<&CheckSettings::timeoutMs, 1, kMaxTimeoutMs>>},
    {QLatin1StringView("--format"), QLatin1StringView("diff"), true, applyDiffFormat},
    {QLatin1StringView("--history"), QLatin1StringView("check history report diff"), true, onCheck<applyHistory>},
    {QLatin1StringView("--format"), QLatin1StringView("history"), true, applyHistoryFormat},
    {QLatin1StringView("--prune"), QLatin1StringView("history"), true, applyPrune},
    {QLatin1StringView("--friend"), QLatin1StringView("history"), true, applyHistoryFriend},
    {QLatin1StringView("--no-history"), kCheck, false,
     [](const QString &, ParsedArguments &parsed) { parsed.options.history = HistoryChoice{{}, true}; return QString(); }},
    {QLatin1StringView("--friend"), QLatin1StringView("report"), true, applyReportFriend},
    {QLatin1StringView("--changes"), kCheck, false, applyChanges<ChangesShown::After>},
    {QLatin1StringView("--changes-only"), kCheck, false, applyChanges<ChangesShown::Only>},
    {QLatin1StringView("--check"), kWindow, false,
     [](const QString &, ParsedArguments &parsed) { parsed.checkAtStart = true; return QString(); }},
    {QLatin1StringView("--since"), QLatin1StringView("diff"), true, applySince},
};

bool takenBy(const OptionSpec &option, QLatin1StringView command)
{
    if (option.commands == QLatin1StringView("*"))
        return true;
    return QString(option.commands).split(QLatin1Char(' ')).contains(QString(command));
}

const OptionSpec *findOption(QStringView name, QLatin1StringView command)
{
    for (const OptionSpec &option : kOptions) {
        if (name == option.name && takenBy(option, command))
            return &option;
    }
    return nullptr;
}

// The option arguments[*i] (its value maybe the next argument, *i then moved
// onto it) applied: empty, or what is wrong.
QString applyArgument(const QStringList &arguments, qsizetype *i, QLatin1StringView scope, ParsedArguments &parsed)
{
    const QString &argument = arguments[*i];
    const qsizetype eq = argument.startsWith(QLatin1String("--")) ? argument.indexOf(QLatin1Char('=')) : -1;
    const QString name = eq > 0 ? argument.left(eq) : argument;
    const OptionSpec *option = findOption(name, scope);
    if (!option)
        return QStringLiteral("unknown option %1").arg(name);
    if (!option->takesValue && eq > 0)
        return QStringLiteral("%1 takes no value").arg(name);
    if (option->takesValue && eq < 0 && *i + 1 >= arguments.size())
        return QStringLiteral("%1 needs a value").arg(name);
    const QString value = !option->takesValue ? QString() : eq > 0 ? argument.mid(eq + 1) : arguments[++*i];
    const QString problem = option->apply(value, parsed);
    if (problem.isEmpty() && !parsed.givenOptions.contains(QString(option->name)))
        parsed.givenOptions << QString(option->name);
    return problem.isEmpty() || problem.startsWith(QLatin1String("--")) ? problem : name + QLatin1Char(' ') + problem;
}

} // namespace

void parseOptions(const QStringList &arguments, qsizetype first, QLatin1StringView scope,
                  const std::function<QString(const QString &)> &takeOperand, ParsedArguments &parsed)
{
    const ParsedArguments::Action reading = parsed.action;
    for (qsizetype i = first; i < arguments.size() && parsed.action == reading; ++i) {
        const QString &argument = arguments[i];
        const QString problem = argument.startsWith(QLatin1Char('-')) ? applyArgument(arguments, &i, scope, parsed)
                                                                       : takeOperand(argument);
        if (!problem.isEmpty()) {
            parsed.action = ParsedArguments::Action::UsageError;
            parsed.error = problem;
        }
    }
    parsed.options.site = parsed.options.sites.value(0);
}

std::optional<qint64> durationMs(const QString &text)
{
    static const QRegularExpression kDuration(QStringLiteral(R"(^(\d{1,9})(s|m|h|d)$)"));
    if (text == QLatin1String("0"))
        return 0;
    const QRegularExpressionMatch match = kDuration.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const qint64 number = match.captured(1).toLongLong();
    const QChar unit = match.captured(2).front();
    const qint64 unitMs = unit == QLatin1Char('s') ? 1000
        : unit == QLatin1Char('m')                 ? 60 * 1000
        : unit == QLatin1Char('h')                 ? 60 * 60 * 1000
                                                   : 24 * 60 * 60 * 1000;
    return number * unitMs;
}

} // namespace friendlinks
