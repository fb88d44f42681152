#pragma once
// The window's design sizes are in twips (1/1440 inch); on screen they become pixels at the
// screen's logical resolution.

#include <QWidget>

namespace fennick::viewer {

inline int twipsToPixels(int twips, const QWidget* widget) {
    const int dpi = widget ? widget->logicalDpiX() : 96;
    return (twips * dpi + 720) / 1440;
}

}  // namespace fennick::viewer
