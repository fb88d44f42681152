#include "menu_key.h"

#include <QAbstractItemView>
#include <QKeyEvent>

namespace fennick::viewer {

bool openMenuFromKey(QAbstractItemView& view, const QKeyEvent& event) {
    const bool menuKey = event.key() == Qt::Key_Menu ||
                         (event.key() == Qt::Key_F10 && event.modifiers() == Qt::ShiftModifier);
    if (!menuKey) return false;
    const QRect current = view.visualRect(view.currentIndex());
    const QPoint at = current.isValid() ? current.bottomLeft() : QPoint(0, 0);
    emit view.customContextMenuRequested(at);
    return true;
}

}  // namespace fennick::viewer
