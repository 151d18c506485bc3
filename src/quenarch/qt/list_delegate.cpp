#include "quenarch/qt/list_delegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QListView>
#include <QStyle>
#include <QToolTip>

#include <limits>

namespace quenarch::qt {

QSize ListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const auto* view = qobject_cast<const QListView*>(option.widget);
    if (view != nullptr && view->gridSize().isValid()) return view->gridSize();
    return QStyledItemDelegate::sizeHint(option, index);
}

// The style lays the text out as it draws it: in the item's text rectangle less a focus margin
// on each side, on one line or wrapped at word breaks, and elided where it does not fit.
bool ListDelegate::textCutOff(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    if (item.text.isEmpty()) return false;
    const QWidget* widget = item.widget;
    const QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, &item, widget) + 1;
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget).adjusted(margin, 0, -margin, 0);
    const bool wraps = item.features.testFlag(QStyleOptionViewItem::WrapText);
    const QRect needed = item.fontMetrics.boundingRect(QRect(0, 0, textRect.width(), std::numeric_limits<int>::max() / 2),
                                                       wraps ? int(Qt::TextWordWrap) : int(Qt::TextSingleLine), item.text);
    return needed.width() > textRect.width() || (wraps && needed.height() > textRect.height());
}

QString ListDelegate::toolTip(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QString text = index.data(Qt::DisplayRole).toString();
    const QString own = index.data(Qt::ToolTipRole).toString();
    QStringList lines;
    if (textCutOff(option, index)) lines << text;
    if (!own.isEmpty() && own != text) lines << own;
    return lines.join(u'\n');
}

bool ListDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (event == nullptr || view == nullptr || event->type() != QEvent::ToolTip) return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString tip = index.isValid() ? toolTip(option, index) : QString();
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPos(), tip, view->viewport(), view->visualRect(index));
    return true;
}

} // namespace quenarch::qt
