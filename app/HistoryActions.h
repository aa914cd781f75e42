#pragma once

#include "app/FriendHistoryDialog.h"
#include "app/ListActions.h"

#include <QObject>
#include <QPointer>

class QAction;
class QMenu;

namespace friendlinks {

class BannerNotes;
class Confirmation;
class HistorySetting;

// The list menu's entries on the history: "历史…" opens the selected friend's
// recorded checks (enabled with a selected row and a recorded check of the
// site shown), "清除本站历史" drops every recorded check of the site shown
// after asking (enabled while it has any). What they cannot do is said in the
// banner strip's notes, with the history's reason.
class HistoryActions : public QObject {
    Q_OBJECT
public:
    // The entries go at the end of the menu, after a separator.
    HistoryActions(ListHost host, HistorySetting *history, BannerNotes *notes, QMenu *menu,
                   Confirmation *confirmation = nullptr);

    void setConfirmation(Confirmation *confirmation) { m_confirmation = confirmation; }

    [[nodiscard]] QAction *historyAction() const { return m_history; }
    [[nodiscard]] QAction *clearAction() const { return m_clear; }

    // The history view of the first selected row, shown; nullptr when there is
    // none to show (the notes say why).
    FriendHistoryDialog *openFriendHistory();
    // The history view last opened, while it is open.
    [[nodiscard]] FriendHistoryDialog *friendHistoryDialog() const { return m_dialog; }
    // Asks, then drops the site's recorded checks; the number dropped, 0 when
    // not asked to or none, -1 when the history failed.
    int clearSiteHistory();

signals:
    // Every recorded check of site has been dropped.
    void siteCleared(const QString &site);

private:
    [[nodiscard]] QString shownSite() const;
    void countRecorded();
    void updateEnabled();

    ListHost m_host;
    HistorySetting *m_historySetting;
    BannerNotes *m_notes;
    Confirmation *m_confirmation;
    QAction *m_history = nullptr;
    QAction *m_clear = nullptr;
    QPointer<FriendHistoryDialog> m_dialog;
    int m_recorded = 0; // recorded checks of the site shown, as last counted
};

} // namespace friendlinks
