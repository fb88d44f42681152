#pragma once
// Shows a cell's or node's whole text as its tool tip when the view cuts it short (a column
// too narrow, a node running past the view's edge), and no tip when it is shown whole.

#include <QStyledItemDelegate>

namespace fennick::viewer {

class CutTextTips : public QStyledItemDelegate {
    Q_OBJECT

  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
    // Whether the item at `index` is shown cut short in `view`.
    bool isCut(const QAbstractItemView& view, const QModelIndex& index) const;
};

}  // namespace fennick::viewer
