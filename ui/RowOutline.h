// SPDX-License-Identifier: MIT
#pragma once

#include <QStyledItemDelegate>

namespace qurimo {

// Draws List1's rows as the style does, but outlines the current row in black or white,
// whichever stands out against the row and the list around it: the style's own focus frame is
// too faint for a keyboard user to find.
class RowOutline : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

} // namespace qurimo
