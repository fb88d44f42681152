#pragma once
// Dealer text as the windows show it: the Windows-1252 bytes as Unicode, up to the first NUL
// byte (upToNul), which must not show as a glyph.

#include <QString>
#include <string>

#include "core/cp1252.h"
#include "core/dealer_text.h"

namespace fennick::viewer {

inline QString shownText(const std::string& dealerText) {
    return QString::fromStdString(core::cp1252ToUtf8(core::upToNul(dealerText)));
}

}  // namespace fennick::viewer
