#pragma once

#include "app/StoredSettings.h"

#include <QObject>
#include <QStringList>

class QAction;
class QMenu;
class QWidget;

namespace friendlinks {

class BaiduAgeSetting;
class CheckEngine;
class HistorySetting;
class MessageBox;
class SettingsDialog;

// The list menu's "设置…": opens the settings dialog on what is remembered;
// its OK stores the choice and hands it to the engine from the next query on,
// except for the options given on the command line, which win for this run.
// The history's on/off and the Baidu max age go through their menu items, so
// menu and dialog always agree.
class SettingsAction : public QObject {
    Q_OBJECT
public:
    SettingsAction(QWidget *window, CheckEngine *engine, HistorySetting *history, BaiduAgeSetting *baiduAge,
                   QMenu *menu, MessageBox *messages);

    [[nodiscard]] QAction *action() const { return m_action; }
    // The options given at start (by name, "--jobs").
    void setGivenOptions(const QStringList &options) { m_given = options; }
    [[nodiscard]] const QStringList &givenOptions() const { return m_given; }

    // Opens the dialog (window-modal) and returns it; its OK applies it.
    SettingsDialog *openDialog();
    // Stores the choice and applies it as OK does.
    void apply(const StoredSettings &chosen);

private:
    QWidget *m_window;
    CheckEngine *m_engine;
    HistorySetting *m_history;
    BaiduAgeSetting *m_baiduAge;
    MessageBox *m_messages;
    QAction *m_action = nullptr;
    QStringList m_given;
};

} // namespace friendlinks
