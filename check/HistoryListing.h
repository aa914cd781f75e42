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
    int changes = 0;          // against the site's check before (diff's rules); 0 for its first
    int worse = 0;            // of which regressions
    int better = 0;           // of which mends
    qint64 comparedWith = 0;  // the check compared with; 0 for the site's first
    bool operator==(const RecordedCheck &) const = default;
};

// The recorded checks of site, newest first, from the tallies kept beside
// them (no row is read); or why the history cannot say (its reason, naming the file).
[[nodiscard]] std::variant<QList<RecordedCheck>, QString> recordedChecks(HistoryStore &store, const QString &site);

// One friend's row in one recorded check.
struct FriendLinePoint {
    qint64 checkId = 0;
    QDateTime started; // UTC
    RowTally row;
    bool operator==(const FriendLinePoint &) const = default;
};

// The friend's line through the site's recorded checks, oldest first; or why
// the history cannot say. lianjie is found as recorded, or as typed without
// "http://" or the closing "/" (and a host's capitals).
struct FriendLine {
    QString lianjie; // as recorded; as given when nothing is
    QList<FriendLinePoint> points;
};
[[nodiscard]] std::variant<FriendLine, QString> recordedFriendLine(HistoryStore &store, const QString &site,
                                                                   const QString &lianjie);

} // namespace friendlinks
