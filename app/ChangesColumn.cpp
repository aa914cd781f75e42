#include "app/ChangesColumn.h"

#include "app/MessageArea.h"
#include "app/ChangeCells.h"
#include "app/HistorySetting.h"
#include "app/ModeSetting.h"
#include "app/ResultsListModel.h"
#include "check/CheckEngine.h"
#include "check/HistoryChanges.h"

#include <QAction>
#include <QTreeView>

namespace friendlinks {

ChangesColumn::ChangesColumn(QTreeView *list, ResultsListModel *model, CheckEngine *engine, HistorySetting *history,
                             MessageArea *notes, QObject *parent)
    : QObject(parent)
    , m_list(list)
    , m_model(model)
    , m_history(history)
    , m_notes(notes)
    , m_chosen(windowSettings().value(QLatin1String(kChangesColumnSetting), true).toBool())
{
    connect(engine, &CheckEngine::started, this, &ChangesColumn::forget);
    // Recorded first: the check is compared with the one before it.
    connect(history, &HistorySetting::recorded, this, &ChangesColumn::compare);
    connect(engine, &CheckEngine::siteFinished, this, &ChangesColumn::compareUnrecorded);
    connect(engine, &CheckEngine::recheckFinished, this, &ChangesColumn::compareUnrecorded);
    updateShown();
}

void ChangesColumn::setChosen(bool shown)
{
    m_chosen = shown;
    windowSettings().setValue(QLatin1String(kChangesColumnSetting), shown);
    updateShown();
}

void ChangesColumn::forget()
{
    m_available = false;
    m_model->clearChanges();
    updateShown();
}

void ChangesColumn::compareUnrecorded(const SiteResult &result)
{
    if (!m_history->recordAction()->isChecked())
        compare(result, 0);
}

void ChangesColumn::compare(const SiteResult &result, qint64 checkId)
{
    QString why;
    HistoryStore *store = m_history->store(&why);
    if (!store) {
        if (!why.isEmpty())
            m_notes->addNote(QStringLiteral("无法比较历史：") + why, Message::Tone::Error);
        return;
    }
    auto found = siteChanges(*store, result, checkId);
    if (const QString *problem = std::get_if<QString>(&found)) {
        m_notes->addNote(QStringLiteral("无法比较历史：") + *problem, Message::Tone::Error);
        return;
    }
    const SiteChanges &changes = std::get<SiteChanges>(found);
    m_available = changes.hasEarlier;
    m_model->setChanges(changeCells(changes, result.rows, result.startedAt.toUTC().date()));
    updateShown();
    // Nothing changed needs no words: the column still shows what stays wrong.
    // What changed comes first on the line: it is what a webmaster checks again for.
    if (!changes.changes.isEmpty())
        m_notes->addNote(changes.summary());
}

void ChangesColumn::updateShown()
{
    m_list->setColumnHidden(ResultsListModel::kChangesColumn, !(m_available && m_chosen));
}

} // namespace friendlinks
