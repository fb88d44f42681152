#pragma once
// A rich-text (RTF) document of plain text in one font, as word processors open it: the
// Windows-1252 code page, characters outside it as Unicode escapes, one paragraph per line.

#include <string>
#include <string_view>

namespace fennick::core {

// `utf8Text` with lines ended by LF or CR LF, set in `fontName` at `points` points.
std::string rtfDocument(std::string_view utf8Text, std::string_view fontName, int points);

}  // namespace fennick::core
