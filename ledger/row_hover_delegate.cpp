#include "row_hover_delegate.h"

#include <QAbstractItemView>
#include <QHoverEvent>
#include <QMouseEvent>

namespace pelorin::ledger {

RowHoverDelegate::RowHoverDelegate(QAbstractItemView* view)
    : QStyledItemDelegate(view), view_(view), viewport_(view->viewport())
{
    viewport_->setMouseTracking(true);
    viewport_->installEventFilter(this);
}

void RowHoverDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.row() == hovered_)
        option->state |= QStyle::State_MouseOver;
    else
        option->state &= ~QStyle::State_MouseOver;
    // Rows are selected whole; a focus frame around one cell would only confuse.
    option->state &= ~QStyle::State_HasFocus;
}

bool RowHoverDelegate::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == viewport_) {
        switch (event->type()) {
        case QEvent::MouseMove:
            setHovered(view_->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint()).row());
            break;
        // A pointer already resting over the list when it appears moves no mouse, but the view
        // hovers its cell: the whole row goes with it.
        case QEvent::HoverEnter:
        case QEvent::HoverMove:
            setHovered(view_->indexAt(static_cast<QHoverEvent*>(event)->position().toPoint()).row());
            break;
        case QEvent::Leave:
        case QEvent::HoverLeave:
            setHovered(-1);
            break;
        default:
            break;
        }
    }
    return QStyledItemDelegate::eventFilter(watched, event);
}

void RowHoverDelegate::setHovered(int row)
{
    if (row == hovered_) return;
    hovered_ = row;
    viewport_->update();
}

} // namespace pelorin::ledger
