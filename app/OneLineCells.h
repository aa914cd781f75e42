#pragma once

#include "check/TextEscape.h"

#include <QStyledItemDelegate>

namespace friendlinks {

// The cells keep the engine's texts exactly, line breaks included (a back-link
// text ends in "\r\n"); on screen each cell is one line, breaks as blanks, and
// control or bidirectional characters as escapes, so no anchor text can
// reverse or hide a row. Every list of results draws its cells through it.
class OneLineCells : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->text = oneLineCellText(option->text);
    }
};

} // namespace friendlinks
