#pragma once
// Dealer text as the windows show it: the Windows-1252 bytes as Unicode, up to the first NUL
// byte (upToNul), which must not show as a glyph.

#include <QString>
#include <string>

#include "viewer/core/cp1252.h"
#include "viewer/core/text.h"

namespace fennick::viewer {

inline QString shownText(const std::string& dealerText) {
    return QString::fromStdString(cp1252ToUtf8(upToNul(dealerText)));
}

}  // namespace fennick::viewer
