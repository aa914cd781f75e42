#pragma once

#include "check/HistoryChanges.h"

#include <QDate>
#include <QList>
#include <QString>

namespace friendlinks {

// One row's cell in the list's "变化" column: what changed since the site's
// check before and what bad state still holds, joined by "；"
// ("反链丢失 (12-03 起)；收录下降 35%"); red when any of it is worse.
struct ChangeCell {
    QString text;
    QString toolTip; // each on its own line, with its values before and now
    bool worse = false;
    bool operator==(const ChangeCell &) const = default;
};

// The cells of the rows in order (rows matched by address; a repeated address
// has the same cell in each of its rows). A change or state that began before
// the check's own day says since when, in the check's day's terms (UTC, MM-dd).
[[nodiscard]] QList<ChangeCell> changeCells(const SiteChanges &changes, const QList<ResultRow> &rows,
                                            QDate checkDay);

// "反链丢失 (12-03 起)"; the label alone when since is not before checkDay.
[[nodiscard]] QString changeWords(const QString &label, QDate since, QDate checkDay);

inline const QString kChangesHeader = QStringLiteral("变化");
inline const QString kChangesHeaderTip = QStringLiteral("与本站上一次记录的检查相比有何变化，以及仍未恢复的问题从哪天起");

} // namespace friendlinks
