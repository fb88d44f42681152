#include "cell_note.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QScrollBar>

namespace fennick::viewer {

CellNote::CellNote(QAbstractItemView* grid, QWidget* window) : QLabel(window), grid_(grid) {
    setObjectName("cellNote");
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    setAutoFillBackground(true);
    setFrameShape(QFrame::Box);
    setMargin(2);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
    grid_->viewport()->installEventFilter(this);
    for (QScrollBar* bar : {grid_->horizontalScrollBar(), grid_->verticalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, this, &CellNote::place);
}

void CellNote::showBeside(const QModelIndex& cell, const QString& text) {
    cell_ = cell;
    setText(text);
    adjustSize();
    place();
}

void CellNote::clearNote() {
    cell_ = QPersistentModelIndex();
    clear();
    hide();
}

bool CellNote::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize || event->type() == QEvent::Move) place();
    return QLabel::eventFilter(watched, event);
}

void CellNote::place() {
    QWidget* viewport = grid_->viewport();
    const QRect shown = cell_.isValid() ? grid_->visualRect(cell_) : QRect();
    if (text().isEmpty() || !shown.isValid() || !viewport->rect().intersects(shown)) return hide();
    const QPoint topLeft = viewport->mapTo(parentWidget(), shown.topLeft());
    const QRect cell(topLeft, shown.size());
    const QRect room = parentWidget()->rect();
    QPoint at(cell.right() + 2, cell.top());
    if (at.x() + width() > room.right()) at.setX(cell.left() - width() - 2);
    if (at.x() < room.left()) at = QPoint(std::max(room.left(), cell.left()), cell.bottom() + 2);
    move(at);
    show();
    raise();
}

}  // namespace fennick::viewer
