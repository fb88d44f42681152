#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>
#include <QVector>

#include "vglintbar_global.h"

namespace vglintbar {

// A list of same-sized pictures reached by a 1-based index or by key. Pixels of the mask colour
// are transparent in every picture added. The size is in the screen's logical pixels; the
// pictures hold `ratio` times as many, so that they stay sharp on a scaled screen.
class VGLINTBAR_EXPORT ImageList {
  public:
    ImageList(QSize size, QColor maskColor, qreal ratio = 1.0)
        : size_(size), maskColor_(maskColor), ratio_(ratio) {}

    // Adds a picture (scaled to the list's size) and answers its index.
    int add(const QString& key, const QImage& picture);

    int count() const { return static_cast<int>(entries_.size()); }
    QSize imageSize() const { return size_; }
    // A null pixmap when there is no such entry.
    QPixmap picture(int index) const;
    QPixmap picture(const QString& key) const;

  private:
    struct Entry {
        QString key;
        QPixmap pixmap;
    };

    QSize size_;
    QColor maskColor_;
    qreal ratio_;
    QVector<Entry> entries_;
};

}  // namespace vglintbar
