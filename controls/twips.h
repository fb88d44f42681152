#pragma once
// Design sizes in twips (1/1440 inch) become pixels at a widget's logical resolution (96 dots
// per inch without a widget), rounded to the nearest pixel.

#include <QWidget>

namespace vglintbar {

inline int twipsToPixels(int twips, const QWidget* widget) {
    const int dpi = widget ? widget->logicalDpiX() : 96;
    return (twips * dpi + 720) / 1440;
}

}  // namespace vglintbar
