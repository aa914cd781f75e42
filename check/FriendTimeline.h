#pragma once

#include "check/HistoryRecord.h"
#include "check/SiteResult.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

#include <variant>

namespace friendlinks {

// One friend's row in one recorded check, read back as that check had it.
struct FriendDay {
    qint64 checkId = 0;
    QDateTime started; // the check's start, UTC
    ResultRow row;

    // The page was read and nothing on it links back, or it could not be read.
    [[nodiscard]] bool backLinkMissing() const;
    // A link back that passes nothing: nofollow (sponsored, ugc), or one the modern check found hidden.
    [[nodiscard]] bool backLinkNofollow() const;
    // The index count read that day; none when Baidu gave none.
    [[nodiscard]] IndexPages indexPages() const;
};

// A friend's recorded rows (HistoryStore::friendHistory) read back, oldest
// first; modern tells which checks ran in the modern mode (a check missing
// from it is read as classic). Why a row cannot be read, naming its check.
[[nodiscard]] std::variant<QList<FriendDay>, QString> friendTimeline(const QList<FriendEntry> &entries,
                                                                     const QHash<qint64, bool> &modern);

// The checks' modes as friendTimeline takes them, from a site's recorded checks.
[[nodiscard]] QHash<qint64, bool> modernChecks(const QList<CheckSummary> &checks);

} // namespace friendlinks
