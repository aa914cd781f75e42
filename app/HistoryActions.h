#pragma once

#include "app/FriendHistoryDialog.h"
#include "app/ListActions.h"

#include <QObject>
#include <QPointer>

class QAction;
class QMenu;

namespace friendlinks {

class MessageArea;
class Confirmation;
class HistorySetting;
class MessageBox;
class SaveDialog;

// The list menu's entries on the history: "历史…" opens the selected friend's
// recorded checks (enabled with a selected row and a recorded check of the
// site shown), "清除本站历史" drops every recorded check of the site shown
// after asking (enabled while it has any), "导出报告…" writes the report of the
// site's latest recorded check (the HTML of `friendlinks report SITE`) to a
// file the user picks. What they cannot do is said in the window's
// message area, with the history's reason; a file that cannot be written in a box.
class HistoryActions : public QObject {
    Q_OBJECT
public:
    // The entries go at the end of the menu, after a separator.
    HistoryActions(ListHost host, HistorySetting *history, MessageArea *notes, QMenu *menu, MessageBox *messages,
                   Confirmation *confirmation = nullptr, SaveDialog *saveDialog = nullptr);

    void setConfirmation(Confirmation *confirmation) { m_confirmation = confirmation; }
    void setSaveDialog(SaveDialog *saveDialog) { m_saveDialog = saveDialog; }

    [[nodiscard]] QAction *historyAction() const { return m_history; }
    [[nodiscard]] QAction *clearAction() const { return m_clear; }
    [[nodiscard]] QAction *reportAction() const { return m_report; }

    // The history view of the first selected row, shown; nullptr when there is
    // none to show (the message area says why).
    FriendHistoryDialog *openFriendHistory();
    // The history view last opened, while it is open.
    [[nodiscard]] FriendHistoryDialog *friendHistoryDialog() const { return m_dialog; }
    // Asks, then drops the site's recorded checks; the number dropped, 0 when
    // not asked to or none, -1 when the history failed.
    int clearSiteHistory();
    // Asks for a file and writes the site's report to it; false when cancelled or not written.
    bool exportReport();

signals:
    // Every recorded check of site has been dropped.
    void siteCleared(const QString &site);

private:
    [[nodiscard]] QString shownSite() const;
    void countRecorded();
    void updateEnabled();

    ListHost m_host;
    HistorySetting *m_historySetting;
    MessageArea *m_notes;
    MessageBox *m_messages;
    Confirmation *m_confirmation;
    SaveDialog *m_saveDialog;
    QAction *m_history = nullptr;
    QAction *m_clear = nullptr;
    QAction *m_report = nullptr;
    QPointer<FriendHistoryDialog> m_dialog;
    int m_recorded = 0; // recorded checks of the site shown, as last counted
};

} // namespace friendlinks
