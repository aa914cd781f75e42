#include "app/HeaderSort.h"

#include "app/ResultsSortProxy.h"

#include <QHeaderView>

namespace friendlinks {

HeaderSort::HeaderSort(QHeaderView *header, ResultsSortProxy *proxy, QObject *parent)
    : QObject(parent)
    , m_header(header)
    , m_proxy(proxy)
{
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
}

} // namespace friendlinks
