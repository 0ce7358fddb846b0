// Hot tracking for a whole row: every cell of the row under the pointer is drawn as hovered,
// so that the style's hover look covers the full row rather than one cell.
#pragma once

#include <QStyledItemDelegate>

class QAbstractItemView;

namespace pelorin::ledger {

class RowHoverDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit RowHoverDelegate(QAbstractItemView* view);
    int hoveredRow() const { return hovered_; }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setHovered(int row);
    QAbstractItemView* view_;
    // Kept apart from the view: the viewport's last events reach the filter while the view is
    // being destroyed, when it is no longer an item view to ask for its viewport.
    QWidget* viewport_;
    int hovered_ = -1;
};

} // namespace pelorin::ledger
