#pragma once

#include "check/CheckEngine.h"

#include <QDate>
#include <QStringList>

#include <functional>
#include <optional>

namespace friendlinks {

class Command;

enum class OutputFormat { Table, Tsv, Json, Jsonl, Csv };

// Where checks are recorded: --history FILE, else defaultHistoryPath()
// (FRIENDLINKS_HISTORY or the user's data folder); nowhere with --no-history.
// Of the two options the last given counts.
struct HistoryChoice {
    QString file;     // --history; empty when not given
    bool off = false; // --no-history
    [[nodiscard]] bool given() const { return !file.isEmpty(); }
};

// What a check says of the changes since each site's previous recorded check.
enum class ChangesShown {
    None,
    After, // --changes: after the output
    Only,  // --changes-only: nothing else, and nothing when nothing got worse
};

struct CheckOptions {
    QString site;       // the first site
    QStringList sites;  // every site in the order given (SITE arguments and --sites); site when empty
    OutputFormat format = OutputFormat::Table;
    bool facts = false; // tsv and table: the fact columns after the six (json always has them)
    HistoryChoice history;
    CheckSettings settings;
    ChangesShown changes = ChangesShown::None;
};

struct DiffOptions {
    QStringList files; // OLD and NEW; or one SITE, its last two recorded checks
    bool json = false; // --format json, else the table
    QDate since;       // --since DATE with a SITE: its newest check against its newest before that day
};

// `friendlinks history`: the checks of one site, or a prune of old checks.
struct HistoryQuery {
    enum class Format { Table, Tsv, Json, Csv };
    QStringList sites;    // the SITE operands (one is wanted)
    Format format = Format::Table;
    int pruneDays = -1;   // --prune DAYS; -1 when not given
    QString friendLink;   // --friend URL: that friend's line through the checks; empty for the list of checks
};

// `friendlinks report`: the HTML report of a site, or one partner's notice.
struct ReportQuery {
    QStringList sites;     // the SITE operands (one is wanted)
    QString friendAddress; // --friend URL; empty for the whole report
};

// What the command line asks for.
struct ParsedArguments {
    enum class Action { Window, Run, Help, Version, UsageError };
    Action action = Action::Window;
    const Command *command = nullptr; // the command named first (Run, Help, UsageError); none for the window
    CheckOptions options; // the check's and the window's
    DiffOptions diff;
    HistoryQuery historyQuery;
    ReportQuery reportQuery;
    bool sitesGiven = false; // check: a SITE or a --sites came
    // The window: --check, the site given (options.site) is checked once the window shows.
    bool checkAtStart = false;
    // The options given, each once by its name ("--jobs"): such a one wins over what
    // the window remembers, for this run.
    QStringList givenOptions;
    QString error; // for UsageError: what is wrong, in one line
    QString help;  // for Help: the help asked for (the command's, or the whole)
};

// The command a table's option belongs to when no command is named: the window.
inline constexpr QLatin1StringView kWindowScope("window");

// The option table's machinery: reads arguments[first...] for the command named
// scope (kWindowScope for the window), taking the options the table gives that
// command, in order with its operands (the arguments that are no option), each
// handed to takeOperand, which says why it cannot be used, or nothing. Stops at
// --help or --version (parsed.action says which) and at the first problem
// (parsed.action UsageError, parsed.error what is wrong).
void parseOptions(const QStringList &arguments, qsizetype first, QLatin1StringView scope,
                  const std::function<QString(const QString &)> &takeOperand, ParsedArguments &parsed);

// A duration as --baidu-max-age takes it, in milliseconds: a whole number and
// its unit, s, m, h or d ("90m", "12h", "1d"), or "0"; none for anything else.
[[nodiscard]] std::optional<qint64> durationMs(const QString &text);

} // namespace friendlinks
