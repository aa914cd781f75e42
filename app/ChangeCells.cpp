#include "app/ChangeCells.h"

#include "check/TextEscape.h"

#include <QHash>
#include <QStringList>

namespace friendlinks {

QString changeWords(const QString &label, QDate since, QDate checkDay)
{
    if (!since.isValid() || (checkDay.isValid() && since >= checkDay))
        return label;
    return QStringLiteral("%1 (%2 起)").arg(label, since.toString(QStringLiteral("MM-dd")));
}

QList<ChangeCell> changeCells(const SiteChanges &changes, const QList<ResultRow> &rows, QDate checkDay)
{
    QHash<QString, ChangeCell> byLink;
    const auto add = [&](const QString &lianjie, const QString &words, const QString &tip, bool worse) {
        ChangeCell &cell = byLink[lianjie];
        cell.text += (cell.text.isEmpty() ? QString() : QStringLiteral("；")) + words;
        cell.toolTip += (cell.toolTip.isEmpty() ? QString() : QStringLiteral("\n")) + tip;
        cell.worse = cell.worse || worse;
    };
    for (const RowChange &change : changes.changes) {
        if (change.lianjie.isEmpty())
            continue; // the site itself: the notes line says it
        const QString words = changeWords(change.label, change.since, checkDay);
        QString tip = words;
        if (!change.oldValue.isEmpty() || !change.newValue.isEmpty())
            tip += QStringLiteral("：%1 → %2").arg(oneLineCellText(change.oldValue), oneLineCellText(change.newValue));
        add(change.lianjie, words, tip, change.tone == ChangeTone::Worse);
    }
    for (const RowState &state : changes.ongoing) {
        if (state.lianjie.isEmpty())
            continue;
        const QString words = changeWords(state.label, state.since, checkDay);
        add(state.lianjie, words, words + QStringLiteral("，至今未恢复"), true); // a state that holds is a bad one
    }
    QList<ChangeCell> cells;
    cells.reserve(rows.size());
    for (const ResultRow &row : rows)
        cells << byLink.value(row.cells[Column::lianjie].text);
    return cells;
}

} // namespace friendlinks
