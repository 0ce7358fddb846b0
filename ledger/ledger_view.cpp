#include "ledger_view.h"

#include <QContextMenuEvent>
#include <QItemSelectionModel>

namespace pelorin::ledger {

LedgerView::LedgerView(QWidget* parent) : QTableView(parent) {}

bool LedgerView::event(QEvent* event)
{
    // The menu key comes to the list itself, the pointer's request through the viewport.
    if (event->type() == QEvent::ContextMenu) menuCell_ = currentIndex();
    return QTableView::event(event);
}

bool LedgerView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ContextMenu)
        menuCell_ = indexAt(static_cast<QContextMenuEvent*>(event)->pos());
    return QTableView::viewportEvent(event);
}

void LedgerView::keyPressEvent(QKeyEvent* event)
{
    const int before = currentIndex().row();
    QTableView::keyPressEvent(event);
    chosenIfMoved(before);
}

void LedgerView::mousePressEvent(QMouseEvent* event)
{
    const int before = currentIndex().row();
    QTableView::mousePressEvent(event);
    chosenIfMoved(before);
}

void LedgerView::mouseMoveEvent(QMouseEvent* event)
{
    const int before = currentIndex().row();
    QTableView::mouseMoveEvent(event);
    chosenIfMoved(before);
}

void MarkRow(QTableView* list, int row)
{
    QAbstractItemModel* m = list->model();
    if (!m || !list->selectionModel() || row < 0 || row >= m->rowCount()) return;
    list->selectionModel()->setCurrentIndex(m->index(row, 0),
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void LedgerView::chosenIfMoved(int rowBefore)
{
    const int row = currentIndex().row();
    if (row < 0 || row == rowBefore || !selectionModel()) return;
    // Ctrl with an arrow moves the cursor without marking a row: nothing is chosen then.
    if (selectionModel()->isRowSelected(row, QModelIndex())) emit rowChosen(row);
}

} // namespace pelorin::ledger
