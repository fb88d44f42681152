#pragma once
// Shift+F10 and the Menu key open a view's pop-up menu from the keyboard, as a right click
// does with the mouse: the view raises customContextMenuRequested beside its current item.

class QAbstractItemView;
class QKeyEvent;

namespace fennick::viewer {

// True (and the menu requested) when `event` is one of the two menu keys.
bool openMenuFromKey(QAbstractItemView& view, const QKeyEvent& event);

}  // namespace fennick::viewer
