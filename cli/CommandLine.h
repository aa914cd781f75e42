#pragma once

#include "check/CheckEngine.h"

#include <QStringList>

#include <optional>

namespace friendlinks {

// Runs what the arguments ask for on the command line (check, diff, --help,
// --version, or a usage error said on stderr) and gives its exit status; gives
// nothing when they ask for the window, whose settings go to *window.
// arguments are the program's arguments after its name, as typed.
[[nodiscard]] std::optional<int> runCommandLine(int &argc, char **argv, const QStringList &arguments,
                                                CheckSettings *window);

} // namespace friendlinks
