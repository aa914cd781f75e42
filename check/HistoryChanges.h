#pragma once

#include "check/HistoryStore.h"
#include "check/SiteResult.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

#include <variant>

namespace friendlinks {

// What changed in a site's check since its previous recorded check, in the
// words a webmaster reads ("反链丢失", "收录下降 35%"), and the bad states that
// began earlier and still hold, each with the day it began.

enum class ChangeTone { Worse, Better, Neutral };

struct RowChange {
    QString lianjie;   // empty for the site itself (unreachable, reachable)
    QString code;      // SiteDiff's kChange… code
    QString label;     // "反链丢失", "新增友链", "收录下降 35%", "加了 nofollow", …
    QString oldValue, newValue;
    ChangeTone tone = ChangeTone::Neutral;
    QDate since;       // UTC day of the first recorded check where the new state began
    bool operator==(const RowChange &) const = default;
};

// A state of a row that is bad now and began in an earlier check (a back link
// missing since 12-03): shown until it mends. Its code is the change that
// began it (kChangeBacklinkLost, kChangeNofollowAdded, kChangeRankLost,
// kChangeIndexDrop, kChangeUnreachable for the site itself, lianjie empty).
struct RowState {
    QString lianjie;
    QString code;
    QString label;
    QDate since;
    bool operator==(const RowState &) const = default;
};

struct SiteChanges {
    bool hasEarlier = false;          // the site has a recorded check before this one
    QDateTime comparedWith;           // that check's start (UTC)
    QList<RowChange> changes;         // this check against that one, regressions first, then row order
    QList<RowState> ongoing;          // bad states begun before, still bad now, in row order
    [[nodiscard]] int worse() const;  // count of changes with tone Worse
    [[nodiscard]] QString summary() const; // "与 12-01 相比：2 个反链丢失，1 个新增", empty without an earlier check
};

// How far back a bad state's beginning is looked for, in checks of the friend:
// a state older than that reads as begun at the oldest check looked at.
inline constexpr int kStateLookBack = 400;
// How many earlier checks may hold the count an index collapsed from.
inline constexpr int kIndexLookBack = 7;

// Whether a change (a kChange… code) makes things worse, better or neither.
[[nodiscard]] ChangeTone changeTone(const QString &code);
// The change in a few words; an index drop gives its share from the values ("收录下降 35%").
[[nodiscard]] QString changeLabel(const QString &code, const QString &oldValue = {}, const QString &newValue = {});

// What changed in `current` since the site's check before `currentId` (0:
// current is not recorded; compare with the newest), or why the history could
// not tell. Reads that one earlier check whole and, for the rows that are bad
// now, the friend's own earlier rows only as far back as the state goes.
[[nodiscard]] std::variant<SiteChanges, QString> siteChanges(HistoryStore &store, const SiteResult &current,
                                                             qint64 currentId = 0);

} // namespace friendlinks
