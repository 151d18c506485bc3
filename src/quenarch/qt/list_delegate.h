#pragma once

#include <QStyledItemDelegate>

namespace quenarch::qt {

// Draws the widget's rows and explains them on hover.
//
// Tooltips: a cell whose text the view cuts short (wider than its cell, or in the icon view taller
// than its wrapped lines) shows its whole text; a cell whose model gives a tooltip of its own (the
// Name cell: the member's full stored path) shows that too, unless it is the text itself.
//
// Size: items of the icon and list views fill their grid cell. The views take one item's size for
// all (so that 100,000 items lay out fast); without this it would be the first name's size, and
// longer names would be cut short of the cell's edge.
class ListDelegate final : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option, const QModelIndex& index) override;

    // Whether the view draws the cell's text cut short, in the place and style the option gives.
    bool textCutOff(const QStyleOptionViewItem& option, const QModelIndex& index) const;
    // What the cell's tooltip says; empty when it needs none.
    QString toolTip(const QStyleOptionViewItem& option, const QModelIndex& index) const;
};

} // namespace quenarch::qt
