#include "list_hover.h"

#include <QAbstractItemView>
#include <QMouseEvent>

namespace pelorin::ledger {

RowHoverDelegate::RowHoverDelegate(QAbstractItemView* view) : QStyledItemDelegate(view), view_(view)
{
    view->viewport()->setMouseTracking(true);
    view->viewport()->installEventFilter(this);
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
    if (watched == view_->viewport()) {
        if (event->type() == QEvent::MouseMove)
            setHovered(view_->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint()).row());
        else if (event->type() == QEvent::Leave)
            setHovered(-1);
    }
    return QStyledItemDelegate::eventFilter(watched, event);
}

void RowHoverDelegate::setHovered(int row)
{
    if (row == hovered_) return;
    hovered_ = row;
    view_->viewport()->update();
}

} // namespace pelorin::ledger
