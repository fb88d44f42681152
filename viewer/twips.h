#pragma once
// The window's design sizes are in twips; the control library's converter turns them into pixels.

#include "controls/twips.h"

namespace fennick::viewer {

using vglintbar::twipsToPixels;

}  // namespace fennick::viewer
