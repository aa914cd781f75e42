#include "app/ProblemFilter.h"

#include "app/ModeSetting.h"
#include "app/ResultsSortProxy.h"

#include <QAction>
#include <QWidget>

namespace friendlinks {

ProblemFilter::ProblemFilter(ResultsSortProxy *proxy, QWidget *window, QObject *parent)
    : QObject(parent)
{
    m_action = new QAction(kProblemsOnlyCaption, this);
    m_action->setObjectName(QStringLiteral("problemsOnly"));
    m_action->setCheckable(true);
    m_action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    m_action->setShortcutContext(Qt::WindowShortcut);
    m_action->setToolTip(QStringLiteral("只列出有标红格子的行"));
    window->addAction(m_action);
    m_action->setChecked(windowSettings().value(QLatin1String(kProblemsOnlySetting), false).toBool());
    proxy->setProblemsOnly(m_action->isChecked());
    connect(m_action, &QAction::toggled, proxy, &ResultsSortProxy::setProblemsOnly);
    connect(m_action, &QAction::toggled, this,
            [](bool on) { windowSettings().setValue(QLatin1String(kProblemsOnlySetting), on); });
}

} // namespace friendlinks
