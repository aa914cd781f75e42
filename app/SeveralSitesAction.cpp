#include "app/SeveralSitesAction.h"

#include "app/SeveralSitesDialog.h"
#include "app/SitesWindow.h"
#include "app/HistorySetting.h"
#include "check/BatchCheck.h"
#include "check/CheckEngine.h"
#include "ui/Platform.h"

#include <QAction>
#include <QMenu>

namespace friendlinks {

SeveralSitesAction::SeveralSitesAction(QWidget *window, CheckEngine *engine, QMenu *menu, MessageBox *messages,
                                       SaveDialog *saveDialog)
    : QObject(window)
    , m_window(window)
    , m_engine(engine)
    , m_messages(messages)
    , m_saveDialog(saveDialog ? saveDialog : &defaultSaveDialog())
{
    m_action = new QAction(kSeveralSitesCaption, this);
    m_action->setObjectName(QStringLiteral("severalSites"));
    m_action->setToolTip(QStringLiteral("一次检查一组网站（输入、粘贴或从文本文件读取），逐个查看，一并导出"));
    menu->addSeparator();
    menu->addAction(m_action);
    connect(m_action, &QAction::triggered, this, &SeveralSitesAction::openDialog);
}

SeveralSitesDialog *SeveralSitesAction::openDialog()
{
    auto *dialog = new SeveralSitesDialog(m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] { check(dialog->sites()); });
    dialog->open();
    return dialog;
}

SitesWindow *SeveralSitesAction::check(const QStringList &sites)
{
    if (sites.isEmpty())
        return nullptr;
    if (m_view)
        m_view->close(); // deletes itself, and its batch with it
    m_view = new SitesWindow(m_engine->settings(), sites, m_messages, m_saveDialog, m_window);
    if (m_history)
        connect(m_view->batch(), &BatchCheck::siteFinished, m_history,
                [history = m_history](int, const SiteResult &result) { history->recordSiteOfBatch(result); });
    m_view->show();
    m_view->start();
    return m_view;
}

} // namespace friendlinks
