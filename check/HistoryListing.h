#pragma once

#include "check/HistoryStore.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <variant>

namespace friendlinks {

// One recorded check of a site as a list of checks shows it.
struct RecordedCheck {
    qint64 id = 0;
    QDateTime started;  // UTC
    QDateTime finished; // UTC
    QString mode;       // "classic" or "modern"
    QString programVersion;
    int rows = 0;
    int redCells = 0;         // red cells of the six columns, over all rows
    bool unreachable = false; // the site's own page could not be fetched
    int homeStatus = 0;       // the HTTP status of its home page, 0 when no answer came
    bool operator==(const RecordedCheck &) const = default;
};

// The recorded checks of site, newest first, each read back whole to count
// its red cells; or why the history cannot say (its reason, naming the file).
[[nodiscard]] std::variant<QList<RecordedCheck>, QString> recordedChecks(HistoryStore &store, const QString &site);

} // namespace friendlinks
