// SPDX-License-Identifier: MIT
#include "RowOutline.h"

#include "ColourScheme.h"

#include <QPainter>

namespace qurimo {

void RowOutline::paint(QPainter* painter, const QStyleOptionViewItem& option,
                       const QModelIndex& index) const {
    QStyleOptionViewItem row(option);
    row.state &= ~QStyle::State_HasFocus;
    QStyledItemDelegate::paint(painter, row, index);
    if (!(option.state & QStyle::State_HasFocus)) {
        return;
    }
    const QPalette::ColorGroup group =
        option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
    const QColor around = option.palette.color(group, QPalette::Base);
    const QColor inside = option.state & QStyle::State_Selected
                              ? option.palette.color(group, QPalette::Highlight)
                              : around;
    painter->save();
    painter->setPen(QPen(colours::outlineAgainst(inside, around), 2));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(QRectF(option.rect).adjusted(1, 1, -1, -1));
    painter->restore();
}

} // namespace qurimo
