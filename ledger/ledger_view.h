// The table that shows the ledger list. Besides a plain click, a row can be chosen with the
// arrow keys or by dragging the pointer onto it; each of these says which row was chosen, so
// that the entry always shows the record of the marked row.
#pragma once

#include <QTableView>

namespace pelorin::ledger {

class LedgerView : public QTableView {
    Q_OBJECT
public:
    explicit LedgerView(QWidget* parent = nullptr);

    // The cell a right-click menu was last asked for on: the one under the pointer, or the
    // current one when the keyboard asked; invalid off the rows.
    QModelIndex MenuCell() const { return menuCell_; }

signals:
    // The user moved the marked row to this one (not sent for a click on the row already current).
    void rowChosen(int row);

protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QPersistentModelIndex menuCell_;
    // Sends rowChosen when the current row is no longer the one before and is marked.
    void chosenIfMoved(int rowBefore);
};

// Marks a whole row and makes it current. QTableView::selectRow looks for a column at the
// viewport's edge, which a right-to-left list whose columns are wider than it lacks.
void MarkRow(QTableView* list, int row);

} // namespace pelorin::ledger
