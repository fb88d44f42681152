#pragma once

#include <QImage>

#include "vglintbar_global.h"

// The pictures the controls draw for themselves, so that the library needs no resource files.
namespace vglintbar::pictures {

// The prompter's design-time picture: three entry fields, the middle one highlighted.
VGLINTBAR_EXPORT QImage prompterPicture(int side);

// 16 x 16 check-box pictures on a light grey (0xC0C0C0) background that an image list masks out,
// drawn for a screen of pixel ratio `ratio` (a 32 x 32 image at ratio 2 for a sharp picture).
VGLINTBAR_EXPORT QImage uncheckedPicture(qreal ratio = 1.0);
VGLINTBAR_EXPORT QImage checkedPicture(qreal ratio = 1.0);

}  // namespace vglintbar::pictures
