#pragma once

#include "check/CheckEngine.h"

#include <QStringList>

namespace friendlinks {

enum class OutputFormat { Table, Tsv, Json, Jsonl, Csv };

struct CheckOptions {
    QString site;       // the first site
    QStringList sites;  // every site in the order given (SITE arguments and --sites); site when empty
    OutputFormat format = OutputFormat::Table;
    bool facts = false; // tsv and table: the fact columns after the six (json always has them)
    CheckSettings settings;
};

// What the command line asks for.
struct ParsedArguments {
    enum class Action { Window, Check, Help, Version, UsageError };
    Action action = Action::Window;
    CheckOptions options;
    QString error; // for UsageError: what is wrong, in one line
    QString help;  // for Help: the help asked for (the check's, or the whole)
};

// Parses the arguments after the program name. With no "check" the window is
// meant; it takes the options marked so in the option table too. Every site
// is one that can be checked (siteProblem), else it is a usage error.
[[nodiscard]] ParsedArguments parseArguments(const QStringList &arguments);

// Why the bytes of a --sites file are not text (a NUL byte, not UTF-8 after
// an optional byte-order mark), naming the first bad line; empty when they are.
[[nodiscard]] QString sitesFileProblem(const QByteArray &bytes);

} // namespace friendlinks
