#include "pictures.h"

#include <QPainter>
#include <QPainterPath>

namespace vglintbar::pictures {

namespace {

const QColor kMaskGrey(0xC0, 0xC0, 0xC0);

// The painter draws in units of the 16 x 16 picture whatever the ratio.
QImage checkFrame(qreal ratio) {
    const int side = qRound(16 * ratio);
    QImage image(side, side, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(kMaskGrey);
    QPainter painter(&image);
    painter.fillRect(2, 2, 12, 12, Qt::white);
    painter.setPen(QColor(0x40, 0x40, 0x40));
    painter.drawRect(1, 1, 13, 13);
    return image;
}

}  // namespace

QImage prompterPicture(int side) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal unit = side / 10.0;
    // Three entry fields; the middle one carries the highlight and the caret.
    for (int row = 0; row < 3; ++row) {
        const QRectF field(unit, unit * (1 + row * 3), unit * 8, unit * 2);
        painter.setPen(QPen(QColor(0x50, 0x50, 0x50), unit / 4));
        painter.setBrush(row == 1 ? QColor(0xC0, 0xFF, 0xFF) : QColor(Qt::white));
        painter.drawRect(field);
    }
    painter.setPen(QPen(Qt::black, unit / 3));
    painter.drawLine(QPointF(unit * 2.5, unit * 4.4), QPointF(unit * 2.5, unit * 5.6));
    return image;
}

QImage uncheckedPicture(qreal ratio) {
    return checkFrame(ratio);
}

QImage checkedPicture(qreal ratio) {
    QImage image = checkFrame(ratio);
    QPainter painter(&image);
    painter.setPen(QPen(Qt::black, 2));
    QPainterPath tick;
    tick.moveTo(4, 8);
    tick.lineTo(7, 11);
    tick.lineTo(12, 4);
    painter.drawPath(tick);
    return image;
}

}  // namespace vglintbar::pictures
