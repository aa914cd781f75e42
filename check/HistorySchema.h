#pragma once

#include <QList>

namespace friendlinks {

// The history's tables. A store carries kHistoryApplicationId in its header
// (so another program's SQLite file is told apart) and its schema version in
// PRAGMA user_version; opening an older store runs the steps from its version on.

inline constexpr int kHistoryApplicationId = 0x464c4b48; // "FLKH"

// historyMigrations()[n] takes a store from version n to version n + 1.
[[nodiscard]] const QList<const char *> &historyMigrations();

[[nodiscard]] inline int historySchemaVersion() { return int(historyMigrations().size()); }

} // namespace friendlinks
