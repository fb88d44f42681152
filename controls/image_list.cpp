#include "image_list.h"

#include <QBitmap>
#include <QImage>

namespace vglintbar {

int ImageList::add(const QString& key, const QImage& picture) {
    QPixmap pixmap = QPixmap::fromImage(picture.scaled(size_));
    pixmap.setMask(pixmap.createMaskFromColor(maskColor_));
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
