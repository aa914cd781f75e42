#pragma once

#include <QIODevice>
#include <QStringList>

namespace friendlinks {

// Exit statuses of `friendlinks diff`.
inline constexpr int kDiffNoRegression = 0;
inline constexpr int kDiffRegression = 1;
inline constexpr int kDiffUsage = 2; // also two files of different sites
// and kExitOutputFailed (4) when out took not all of the changes.

// `friendlinks diff OLD.json NEW.json [--format table|json]`: the arguments
// after "diff" (--help writes the diff's help). Writes the changes to out; on a
// usage error or an unreadable or malformed file, names it with the reason on
// err and writes nothing to out.
[[nodiscard]] int runDiff(const QStringList &arguments, QIODevice *out, QIODevice *err);

} // namespace friendlinks
