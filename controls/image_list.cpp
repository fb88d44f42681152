#include "image_list.h"

#include <QBitmap>
#include <QImage>

namespace vglintbar {

int ImageList::add(const QString& key, const QImage& picture) {
    const QSize pixels(qRound(size_.width() * ratio_), qRound(size_.height() * ratio_));
    QPixmap pixmap =
        QPixmap::fromImage(picture.size() == pixels ? picture : picture.scaled(pixels));
    pixmap.setMask(pixmap.createMaskFromColor(maskColor_));
    pixmap.setDevicePixelRatio(ratio_);
    entries_.push_back({key, pixmap});
    return count();
}

QPixmap ImageList::picture(int index) const {
    if (index < 1 || index > count()) return {};
    return entries_[index - 1].pixmap;
}

QPixmap ImageList::picture(const QString& key) const {
    for (const Entry& entry : entries_) {
        if (entry.key == key) return entry.pixmap;
    }
    return {};
}

}  // namespace vglintbar
