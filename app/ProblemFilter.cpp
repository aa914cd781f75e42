#include "app/ProblemFilter.h"

#include "app/MessageArea.h"
#include "app/ModeSetting.h"
#include "app/ResultsSortProxy.h"

#include <QAction>
#include <QWidget>

namespace friendlinks {

ProblemFilter::ProblemFilter(ResultsSortProxy *proxy, MessageArea *area, QWidget *window, QObject *parent)
    : QObject(parent)
    , m_proxy(proxy)
    , m_area(area)
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
    connect(m_action, &QAction::toggled, this, &ProblemFilter::showCount);
    // Rows shown come and go with the results' rows and cells; a row the filter keeps out changes only the whole.
    for (const QAbstractItemModel *model : {static_cast<QAbstractItemModel *>(proxy), proxy->sourceModel()}) {
        connect(model, &QAbstractItemModel::rowsInserted, this, &ProblemFilter::showCount);
        connect(model, &QAbstractItemModel::rowsRemoved, this, &ProblemFilter::showCount);
        connect(model, &QAbstractItemModel::modelReset, this, &ProblemFilter::showCount);
    }
    connect(proxy, &QAbstractItemModel::layoutChanged, this, &ProblemFilter::showCount);
    showCount();
}

void ProblemFilter::showCount()
{
    m_area->setStatus(m_action->isChecked() ? QStringLiteral("%1：%2/%3 行")
                                                  .arg(kProblemsOnlyCaption)
                                                  .arg(m_proxy->rowCount())
                                                  .arg(m_proxy->sourceModel()->rowCount())
                                            : QString());
}

} // namespace friendlinks
