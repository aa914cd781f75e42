#pragma once

#include "cli/Arguments.h"

#include <QIODevice>

namespace friendlinks {

// Exit statuses of `friendlinks diff`.
inline constexpr int kDiffNoRegression = 0;
inline constexpr int kDiffRegression = 1;
inline constexpr int kDiffUsage = 2; // also two files of different sites
// and kExitOutputFailed (4) when out took not all of the changes.

// `friendlinks diff OLD.json NEW.json [--format table|json]` as parsed (two
// files). Writes the changes to out; an unreadable or malformed file it names
// with the reason on err and writes nothing to out.
[[nodiscard]] int runDiff(const DiffOptions &options, QIODevice *out, QIODevice *err);

} // namespace friendlinks
