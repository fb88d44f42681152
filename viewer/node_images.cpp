#include "node_images.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace fennick::viewer {

namespace {

constexpr int kSize = 16;
// The pixel ratios each picture is drawn for: ordinary screens and those scaled by a half,
// twice and three times, so that the tree never shows a picture blown up from a smaller one.
constexpr qreal kRatios[] = {1.0, 1.5, 2.0, 3.0};
const QColor kOutline(96, 72, 24);
const QColor kFolder(236, 196, 92);
const QColor kFolderOpen(250, 222, 140);
const QColor kTagFill(120, 168, 224);
const QColor kTagOutline(36, 76, 140);

// A transparent picture of kSize x kSize at `ratio`; the painter draws in kSize units.
QPixmap canvas(qreal ratio) {
    const int side = qRound(kSize * ratio);
    QPixmap pixmap(side, side);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A closed folder: a tab on the back sheet and the front sheet.
QPixmap closedFolder(qreal ratio) {
    QPixmap pixmap = canvas(ratio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(kOutline);
    p.setBrush(kFolder.darker(110));
    p.drawRect(QRectF(1.5, 2.5, 6, 3));
    p.setBrush(kFolder);
    p.drawRect(QRectF(1.5, 4.5, 13, 9));
    return pixmap;
}

// An open folder: the back sheet with the front sheet tilted towards the viewer.
QPixmap openFolder(qreal ratio) {
    QPixmap pixmap = canvas(ratio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(kOutline);
    p.setBrush(kFolder.darker(110));
    p.drawRect(QRectF(1.5, 2.5, 12, 11));
    QPainterPath front;
    front.moveTo(1.5, 13.5);
    front.lineTo(4.5, 7.5);
    front.lineTo(15.0, 7.5);
    front.lineTo(12.5, 13.5);
    front.closeSubpath();
    p.setBrush(kFolderOpen);
    p.drawPath(front);
    return pixmap;
}

// A price tag with its hole; filled while selected.
QPixmap tag(bool selected, qreal ratio) {
    QPixmap pixmap = canvas(ratio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.moveTo(1.5, 8);
    shape.lineTo(6, 3.5);
    shape.lineTo(14.5, 3.5);
    shape.lineTo(14.5, 12.5);
    shape.lineTo(6, 12.5);
    shape.closeSubpath();
    p.setPen(QPen(kTagOutline, 1));
    p.setBrush(selected ? kTagFill : QColor(Qt::white));
    p.drawPath(shape);
    p.setBrush(selected ? QColor(Qt::white) : kTagOutline);
    p.drawEllipse(QPointF(6, 8), 1.2, 1.2);
    return pixmap;
}

template <class Draw>
QIcon twoStateIcon(Draw draw) {
    QIcon icon;
    for (qreal ratio : kRatios) {
        icon.addPixmap(draw(false, ratio), QIcon::Normal);
        icon.addPixmap(draw(true, ratio), QIcon::Selected);
    }
    return icon;
}

}  // namespace

QIcon lineNodeIcon() {
    return twoStateIcon([](bool selected, qreal ratio) {
        return selected ? openFolder(ratio) : closedFolder(ratio);
    });
}

QIcon modelNodeIcon() {
    return twoStateIcon(tag);
}

}  // namespace fennick::viewer
