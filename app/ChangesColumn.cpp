#include "app/ChangesColumn.h"

#include "app/MessageArea.h"
#include "app/ChangeCells.h"
#include "app/HistorySetting.h"
#include "app/ModeSetting.h"
#include "app/ResultsListModel.h"
#include "check/CheckEngine.h"
#include "check/HistoryChanges.h"

#include <QAction>
#include <QFileInfo>
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
    m_pool.setMaxThreadCount(1);
    updateShown();
}

ChangesColumn::~ChangesColumn()
{
    m_pool.waitForDone();
}

void ChangesColumn::setChosen(bool shown)
{
    m_chosen = shown;
    windowSettings().setValue(QLatin1String(kChangesColumnSetting), shown);
    updateShown();
}

void ChangesColumn::forget()
{
    ++m_generation; // a comparison under way answers for rows that are gone
    m_available = false;
    m_model->clearChanges();
    updateShown();
}

void ChangesColumn::compareUnrecorded(const SiteResult &result)
{
    if (!m_history->recordAction()->isChecked())
        compare(result, 0);
}

namespace {

// What the worker found: the changes, or why there are none (no history file: no words).
struct Comparison {
    std::optional<SiteChanges> changes;
    QString problem;
};

// Runs on the worker thread: a store of its own, opened for this comparison only.
Comparison compareWithHistory(const QString &path, const SiteResult &result, qint64 checkId)
{
    if (!QFileInfo::exists(path))
        return {}; // reading never makes a history
    HistoryStore store;
    if (!store.open(path))
        return {std::nullopt, store.lastError().reason};
    auto found = siteChanges(store, result, checkId);
    if (const QString *problem = std::get_if<QString>(&found))
        return {std::nullopt, *problem};
    return {std::get<SiteChanges>(std::move(found)), {}};
}

} // namespace

void ChangesColumn::compare(const SiteResult &result, qint64 checkId)
{
    const int generation = ++m_generation;
    m_pool.start([this, generation, path = m_history->path(), result, checkId] {
        Comparison comparison = compareWithHistory(path, result, checkId);
        // Delivered on the window's thread; the pool is waited for before this object goes.
        QMetaObject::invokeMethod(
            this,
            [this, generation, result, comparison = std::move(comparison)] {
                show(generation, result, comparison.changes, comparison.problem);
            },
            Qt::QueuedConnection);
    });
}

void ChangesColumn::show(int generation, const SiteResult &result, const std::optional<SiteChanges> &found,
                         const QString &problem)
{
    if (generation != m_generation)
        return; // a newer check, or the list was left without a comparison
    if (!found) {
        if (!problem.isEmpty())
            m_notes->addNote(QStringLiteral("无法比较历史：") + problem, Message::Tone::Error);
        emit compared();
        return;
    }
    const SiteChanges &changes = *found;
    m_available = changes.hasEarlier;
    m_model->setChanges(changeCells(changes, result.rows, result.startedAt.toUTC().date()));
    updateShown();
    // Nothing changed needs no words: the column still shows what stays wrong.
    // What changed comes first on the line: it is what a webmaster checks again for.
    if (!changes.changes.isEmpty())
        m_notes->addNote(changes.summary());
    emit compared();
}

void ChangesColumn::updateShown()
{
    m_list->setColumnHidden(ResultsListModel::kChangesColumn, !(m_available && m_chosen));
}

} // namespace friendlinks
