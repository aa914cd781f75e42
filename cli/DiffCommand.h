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
// `friendlinks diff SITE [--since DATE]` (one operand that is no file): the
// site's newest recorded check against the one before it, or with since
// against its newest check started before that day (00:00 UTC), read from
// history (--history, else $FRIENDLINKS_HISTORY or the default; a missing
// file is not made). A site with no check, or none to compare with, is a
// usage error (2); a history that cannot be read is 4.
[[nodiscard]] int runDiff(const DiffOptions &options, QIODevice *out, QIODevice *err,
                          const HistoryChoice &history = {});

} // namespace friendlinks
