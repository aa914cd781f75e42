#pragma once

class QAbstractItemView;
class QMenu;

namespace friendlinks {

// The result list's right-click menu, empty: what people do with the list is
// added to it (ListActions, the mode's check item). It opens where the list is clicked.
[[nodiscard]] QMenu *createListMenu(QAbstractItemView *list);

} // namespace friendlinks
