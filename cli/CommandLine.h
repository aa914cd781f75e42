#pragma once

#include "check/CheckEngine.h"
#include "cli/Command.h"

#include <QStringList>

#include <optional>

namespace friendlinks {

// What the arguments ask of the window: its settings, the options given
// (by name, "--jobs"), the site for its box and whether to check it at once (--check).
struct WindowArguments {
    CheckSettings settings;
    QStringList givenOptions;
    QString site;
    bool check = false;
};

// Runs what the arguments ask for on the command line (a command of the
// registry, --help, --version, or a usage error said on stderr) and gives its
// exit status; gives nothing when they ask for the window, whose settings go
// to *window. arguments are the program's arguments after its name, as typed.
[[nodiscard]] std::optional<int> runCommandLine(int &argc, char **argv, const QStringList &arguments,
                                                WindowArguments *window);

// What parsed arguments that do not ask for the window ask for, with the
// invocation's out and err: the help, the version, the usage error (exit 2),
// or the command's run. Its exit status; 4 when out took not all of a text.
[[nodiscard]] int runParsed(const ParsedArguments &parsed, const Invocation &invocation);

} // namespace friendlinks
