#pragma once

#include <QImage>

#include "vglintbar_global.h"

// The pictures the controls draw for themselves, so that the library needs no resource files.
namespace vglintbar::pictures {

// The prompter's design-time picture: three entry fields, the middle one highlighted.
VGLINTBAR_EXPORT QImage prompterPicture(int side);

// 16 x 16 check-box pictures on a light grey (0xC0C0C0) background that an image list masks out.
VGLINTBAR_EXPORT QImage uncheckedPicture();
VGLINTBAR_EXPORT QImage checkedPicture();

}  // namespace vglintbar::pictures
