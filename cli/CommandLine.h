#pragma once

#include "check/CheckEngine.h"

#include <optional>

namespace friendlinks {

// Runs what the arguments ask for on the command line (check, diff, --help,
// --version, or a usage error said on stderr) and gives its exit status; gives
// nothing when they ask for the window, whose settings go to *window.
[[nodiscard]] std::optional<int> runCommandLine(int &argc, char **argv, CheckSettings *window);

} // namespace friendlinks
