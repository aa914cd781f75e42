#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

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

} // namespace friendlinks
