#pragma once

#include "check/RowValues.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace friendlinks {

// One row of a recorded check: the friend's address (the lianjie cell) and the
// row as its encoder wrote it. The store keeps the payload as it is given.
struct HistoryRow {
    QString lianjie;
    QByteArray payload;
    bool operator==(const HistoryRow &) const = default;
};

// One check as the history keeps it. Times are UTC to the millisecond; the
// outcome is the site's outcome as its encoder wrote it.
struct CheckRecord {
    QString site;
    QString mode; // "classic" or "modern"
    QDateTime started;
    QDateTime finished;
    QString programVersion;
    QByteArray outcome;
    QList<HistoryRow> rows; // in the check's order
    bool operator==(const CheckRecord &) const = default;
};

// A recorded check without its rows, as lists of checks show it.
struct CheckSummary {
    qint64 id = 0;
    QString mode;
    QDateTime started;
    QDateTime finished;
    QString programVersion;
    int rowCount = 0;
    bool operator==(const CheckSummary &) const = default;
};

// One friend's row in one recorded check.
struct FriendEntry {
    qint64 checkId = 0;
    QDateTime started;
    QByteArray payload;
    bool operator==(const FriendEntry &) const = default;
};

// What a recorded check comes to, kept beside it at record time so that a list
// of checks reads no row: its red cells, whether the site answered, and what
// changed against the site's check before it (diff's rules).
struct CheckTally {
    int redCells = 0;         // red cells of the six columns, over all rows
    bool unreachable = false; // the site's own page could not be fetched
    int homeStatus = 0;       // the HTTP status of its home page, 0 when no answer came
    int changes = 0;          // every change against the check before
    int worse = 0;            // of which regressions (a back link lost, nofollow added, ...)
    int better = 0;           // of which mends (a back link back, nofollow gone, rank back, reachable again)
    qint64 comparedWith = 0;  // the check compared with; 0 for the site's first
    bool operator==(const CheckTally &) const = default;
};

// A row's few typed values, kept beside its payload so that a friend's line
// through time reads no payload.
struct RowTally {
    BackLinkVerdict backlink = BackLinkVerdict::Unknown;
    std::optional<bool> follow; // the back link's: none when no back link was read
    IndexPages pages;
    RankVerdict rank = RankVerdict::Unknown;
    int status = 0; // the friend page's HTTP status, 0 when no answer came
    bool operator==(const RowTally &) const = default;
};

// A recorded check as a list of checks shows it. A check whose rows could not
// be read when recorded has no tally.
struct TalliedCheck {
    CheckSummary summary;
    std::optional<CheckTally> tally;
    bool operator==(const TalliedCheck &) const = default;
};

// One friend's row in one recorded check, as its line through time shows it.
struct FriendPoint {
    qint64 checkId = 0;
    QDateTime started;
    std::optional<RowTally> row; // none when the row could not be read when recorded
    bool operator==(const FriendPoint &) const = default;
};

// One friend's point in a check of a site, with the friend's address.
struct SitePoint {
    QString lianjie;
    FriendPoint point;
    bool operator==(const SitePoint &) const = default;
};

} // namespace friendlinks
