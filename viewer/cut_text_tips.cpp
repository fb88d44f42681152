#include "cut_text_tips.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QToolTip>

namespace fennick::viewer {

bool CutTextTips::isCut(const QAbstractItemView& view, const QModelIndex& index) const {
    const QRect shown = view.visualRect(index);
    if (!shown.isValid()) return false;
    QStyleOptionViewItem option;
    option.initFrom(&view);
    option.rect = shown;
    option.font = view.font();
    option.fontMetrics = view.fontMetrics();
    const int needed = sizeHint(option, index).width();
    return needed > shown.width() || shown.left() + needed > view.viewport()->width();
}

bool CutTextTips::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                            const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (!event || !view || event->type() != QEvent::ToolTip)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty() || !isCut(*view, index)) {
        QToolTip::hideText();
        return true;
    }
    QToolTip::showText(event->globalPos(), text, view->viewport(), option.rect);
    return true;
}

}  // namespace fennick::viewer
