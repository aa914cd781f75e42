#include "app/ListMenu.h"

#include <QAbstractItemView>
#include <QMenu>

namespace friendlinks {

QMenu *createListMenu(QAbstractItemView *list)
{
    auto *menu = new QMenu(list);
    menu->setObjectName(QStringLiteral("listMenu"));
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(list, &QWidget::customContextMenuRequested, menu,
                     [menu, list](const QPoint &at) { menu->popup(list->viewport()->mapToGlobal(at)); });
    return menu;
}

} // namespace friendlinks
