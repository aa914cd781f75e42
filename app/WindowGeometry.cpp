#include "app/WindowGeometry.h"

#include "app/ModeSetting.h"

#include <QEvent>
#include <QHeaderView>
#include <QTreeView>
#include <QWidget>

namespace friendlinks {

WindowGeometry::WindowGeometry(QWidget *window, QTreeView *list, int firstFactColumn, int factColumns)
    : QObject(window)
    , m_window(window)
    , m_list(list)
    , m_firstFact(firstFactColumn)
    , m_factCount(factColumns)
{
    window->installEventFilter(this);
}

bool WindowGeometry::restore()
{
    const QSettings settings = windowSettings();
    const QByteArray geometry = settings.value(QLatin1String(kWindowGeometrySetting)).toByteArray();
    if (settings.contains(QLatin1String(kShownFactColumnsSetting)))
        showFactHeaders(settings.value(QLatin1String(kShownFactColumnsSetting)).toStringList());
    // restoreGeometry keeps the window on a screen there is and no smaller than its minimum.
    return !geometry.isEmpty() && m_window->restoreGeometry(geometry);
}

void WindowGeometry::save() const
{
    QSettings settings = windowSettings();
    settings.setValue(QLatin1String(kWindowGeometrySetting), m_window->saveGeometry());
    settings.setValue(QLatin1String(kShownFactColumnsSetting), shownFactHeaders());
}

QStringList WindowGeometry::shownFactHeaders() const
{
    QStringList shown;
    const QAbstractItemModel *model = m_list->model();
    for (int column = m_firstFact; column < m_firstFact + m_factCount; ++column)
        if (!m_list->isColumnHidden(column))
            shown << model->headerData(column, Qt::Horizontal).toString();
    return shown;
}

void WindowGeometry::showFactHeaders(const QStringList &headers)
{
    const QAbstractItemModel *model = m_list->model();
    for (int column = m_firstFact; column < m_firstFact + m_factCount; ++column)
        m_list->setColumnHidden(column, !headers.contains(model->headerData(column, Qt::Horizontal).toString()));
}

bool WindowGeometry::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::Close)
        save();
    return QObject::eventFilter(watched, event);
}

} // namespace friendlinks
