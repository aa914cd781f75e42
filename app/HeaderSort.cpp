#include "app/HeaderSort.h"

#include "app/ModeSetting.h"
#include "app/ResultsSortProxy.h"

#include <QHeaderView>
#include <QSettings>

namespace friendlinks {

HeaderSort::HeaderSort(QHeaderView *header, ResultsSortProxy *proxy, QObject *parent, bool remember)
    : QObject(parent)
    , m_header(header)
    , m_proxy(proxy)
    , m_remember(remember)
{
    if (remember) {
        const QSettings settings = windowSettings();
        const int column = settings.value(QLatin1String(kSortColumnSetting), -1).toInt();
        if (column >= 0 && column < proxy->columnCount()) { // a column of this program's list
            m_column = column;
            m_order = settings.value(QLatin1String(kSortDescendingSetting), false).toBool() ? Qt::DescendingOrder
                                                                                          : Qt::AscendingOrder;
        }
    }
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    // The header flips its arrow by itself first; click() then sets it as the cycle says.
    connect(header, &QHeaderView::sectionClicked, this, &HeaderSort::click);
    apply();
}

void HeaderSort::click(int column)
{
    if (column != m_column) {
        m_column = column;
        m_order = Qt::AscendingOrder;
    } else if (m_order == Qt::AscendingOrder) {
        m_order = Qt::DescendingOrder;
    } else {
        m_column = -1;
        m_order = Qt::AscendingOrder;
    }
    apply();
}

void HeaderSort::apply()
{
    m_header->setSortIndicator(m_column, m_order);
    m_proxy->sort(m_column, m_order);
    if (m_remember) {
        QSettings settings = windowSettings();
        settings.setValue(QLatin1String(kSortColumnSetting), m_column);
        settings.setValue(QLatin1String(kSortDescendingSetting), m_order == Qt::DescendingOrder);
    }
}

} // namespace friendlinks
