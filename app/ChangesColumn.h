#pragma once

#include "check/SiteResult.h"

#include <QObject>

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
class ChangesColumn : public QObject {
    Q_OBJECT
public:
    ChangesColumn(QTreeView *list, ResultsListModel *model, CheckEngine *engine, HistorySetting *history,
                  MessageArea *notes, QObject *parent = nullptr);

    // The list shown has an earlier recorded check to compare with.
    [[nodiscard]] bool available() const { return m_available; }
    // The user's choice, remembered: show the column when it is available.
    [[nodiscard]] bool chosen() const { return m_chosen; }
    void setChosen(bool shown);
    // Leaves the list without a comparison (its site's history is gone).
    void forget();

private:
    void compare(const SiteResult &result, qint64 checkId);
    void compareUnrecorded(const SiteResult &result);
    void updateShown();

    QTreeView *m_list;
    ResultsListModel *m_model;
    HistorySetting *m_history;
    MessageArea *m_notes;
    bool m_available = false;
    bool m_chosen = true;
};

inline constexpr char kChangesColumnSetting[] = "list/changes";

} // namespace friendlinks
