#pragma once

#include <QByteArray>
#include <QIODevice>

#include <optional>

namespace friendlinks {

// Input files (a --sites list, a diff's json, a list the window reads) are read whole, so each has a size limit:
// a wrong path (/dev/zero, a disk image) ends with a clear error, not with all memory.
inline constexpr qint64 kMaxSitesFileBytes = 32 * 1024 * 1024;
inline constexpr qint64 kMaxDiffFileBytes = 64 * 1024 * 1024;

// Everything device gives until its end, or nothing when that is more than limit bytes.
[[nodiscard]] std::optional<QByteArray> readAtMost(QIODevice &device, qint64 limit);

} // namespace friendlinks
