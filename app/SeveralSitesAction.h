#pragma once

#include "app/SitesWindow.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

class QAction;
class QMenu;
class QWidget;

namespace friendlinks {

class CheckEngine;
class HistorySetting;
class MessageBox;
class SaveDialog;
class SeveralSitesDialog;

// The list menu's "检查多个网站…": asks for the sites (SeveralSitesDialog) and
// checks them in a several-sites view, with the settings of the window's own
// checks. A new batch closes the view of the one before.
class SeveralSitesAction : public QObject {
    Q_OBJECT
public:
    SeveralSitesAction(QWidget *window, CheckEngine *engine, QMenu *menu, MessageBox *messages,
                       SaveDialog *saveDialog = nullptr);

    [[nodiscard]] QAction *action() const { return m_action; }
    void setSaveDialog(SaveDialog *saveDialog) { m_saveDialog = saveDialog; }
    // Each site's check is recorded there as it ends, as the window's own checks are.
    void setHistory(HistorySetting *history) { m_history = history; }

    // Opens the list dialog (window-modal) and returns it; its 检查 runs the batch.
    SeveralSitesDialog *openDialog();
    // Opens the view of these sites and starts their check.
    SitesWindow *check(const QStringList &sites);
    [[nodiscard]] SitesWindow *view() const { return m_view; }

private:
    QWidget *m_window;
    CheckEngine *m_engine;
    MessageBox *m_messages;
    SaveDialog *m_saveDialog;
    HistorySetting *m_history = nullptr;
    QAction *m_action = nullptr;
    QPointer<SitesWindow> m_view;
};

} // namespace friendlinks
