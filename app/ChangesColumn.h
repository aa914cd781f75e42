#pragma once

#include "check/HistoryChanges.h"
#include "check/SiteResult.h"

#include <QObject>
#include <QThreadPool>

#include <optional>

class QTreeView;

namespace friendlinks {

class MessageArea;
class CheckEngine;
class HistoryActions;
class HistorySetting;
class ResultsListModel;

// The list's "变化" column after the six: once a check (or re-check) has been
// recorded, what changed since the site's check before it, per row, and the
// summary in the window's message area when something changed. While 记录历史
// is off the check is compared with the newest recorded one. The column is
// there only when the site has an earlier check; the user hides or shows it
// from the header's menu, remembered for the next start (shown at the first).
//
// The comparison reads the history on a thread of its own, through a
// connection of its own to the file (a long list on a year of checks takes
// most of a second), and fills the column when it is done; a comparison that
// a newer check overtook is dropped.
class ChangesColumn : public QObject {
    Q_OBJECT
public:
    ChangesColumn(QTreeView *list, ResultsListModel *model, CheckEngine *engine, HistorySetting *history,
                  MessageArea *notes, QObject *parent = nullptr);
    // Waits for a comparison under way.
    ~ChangesColumn() override;

    // The list shown has an earlier recorded check to compare with.
    [[nodiscard]] bool available() const { return m_available; }
    // The user's choice, remembered: show the column when it is available.
    [[nodiscard]] bool chosen() const { return m_chosen; }
    void setChosen(bool shown);
    // Leaves the list without a comparison (its site's history is gone).
    void forget();

signals:
    // The comparison of the list's latest check is done: the column and the
    // notes say what it found, or the notes why there is none.
    void compared();

private:
    void compare(const SiteResult &result, qint64 checkId);
    void compareUnrecorded(const SiteResult &result);
    // The comparison's answer: the changes, or why there are none (empty: no history to compare with).
    void show(int generation, const SiteResult &result, const std::optional<SiteChanges> &changes,
              const QString &problem);
    void updateShown();

    QTreeView *m_list;
    ResultsListModel *m_model;
    HistorySetting *m_history;
    MessageArea *m_notes;
    bool m_available = false;
    bool m_chosen = true;
    int m_generation = 0; // of the comparison whose answer the column waits for
    QThreadPool m_pool;   // one thread: comparisons in turn
};

inline constexpr char kChangesColumnSetting[] = "list/changes";

} // namespace friendlinks
