#include "app/SettingsAction.h"

#include "app/BaiduAgeSetting.h"
#include "app/HistorySetting.h"
#include "app/ModeSetting.h"
#include "app/SettingsDialog.h"
#include "check/CheckEngine.h"
#include "ui/Platform.h"

#include <QAction>
#include <QMenu>

namespace friendlinks {

SettingsAction::SettingsAction(QWidget *window, CheckEngine *engine, HistorySetting *history,
                               BaiduAgeSetting *baiduAge, QMenu *menu, MessageBox *messages)
    : QObject(window)
    , m_window(window)
    , m_engine(engine)
    , m_history(history)
    , m_baiduAge(baiduAge)
    , m_messages(messages)
{
    m_action = new QAction(kSettingsCaption, this);
    m_action->setObjectName(QStringLiteral("settings"));
    m_action->setToolTip(QStringLiteral("代理、时限、同时检查数、百度的节奏、证书和历史；下次查询起生效"));
    menu->addSeparator();
    menu->addAction(m_action);
    connect(m_action, &QAction::triggered, this, &SettingsAction::openDialog);
}

SettingsDialog *SettingsAction::openDialog()
{
    auto *dialog = new SettingsDialog(loadStoredSettings(windowSettings()), m_given, m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] { apply(dialog->chosen()); });
    dialog->open();
    return dialog;
}

void SettingsAction::apply(const StoredSettings &chosen)
{
    QSettings settings = windowSettings();
    storeSettings(settings, chosen);
    QStringList unreadable;
    m_engine->setSettings(withStoredSettings(m_engine->settings(), m_given, chosen, &unreadable));
    // Through the menu's items, which store, apply and show the same choice.
    m_history->recordAction()->setChecked(chosen.recordHistory);
    if (!m_given.contains(QLatin1String("--baidu-max-age")))
        for (QAction *choice : m_baiduAge->choices())
            if (choice->data().toLongLong() == qint64(chosen.baiduMaxAgeMinutes) * 60 * 1000 && !choice->isChecked())
                choice->trigger();
    if (!unreadable.isEmpty())
        m_messages->show(m_window, applicationTitle(),
                         QStringLiteral("无法读取证书文件（或其中没有 PEM 证书）：\n%1").arg(unreadable.join(QLatin1Char('\n'))),
                         MessageIcon::warning);
}

} // namespace friendlinks
