#pragma once

#include <QObject>

class QHeaderView;

namespace friendlinks {

class ResultsSortProxy;

// Sorting the list by a click on a column's header: the first click sorts by
// that column ascending, the second reverses it, the third restores harvest
// order; the header's arrow shows which. With remember, the sort is kept in
// the window's settings and the next start begins with it.
class HeaderSort : public QObject {
    Q_OBJECT
public:
    HeaderSort(QHeaderView *header, ResultsSortProxy *proxy, QObject *parent = nullptr, bool remember = false);

    // What one click on the header of column does.
    void click(int column);
    // The column sorted by, -1 for harvest order.
    [[nodiscard]] int column() const { return m_column; }
    [[nodiscard]] Qt::SortOrder order() const { return m_order; }

private:
    void apply();

    QHeaderView *m_header;
    ResultsSortProxy *m_proxy;
    bool m_remember;
    int m_column = -1;
    Qt::SortOrder m_order = Qt::AscendingOrder;
};

inline constexpr char kSortColumnSetting[] = "list/sortColumn";
inline constexpr char kSortDescendingSetting[] = "list/sortDescending";

} // namespace friendlinks
