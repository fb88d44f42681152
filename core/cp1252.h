#pragma once
// Dealer text is Windows-1252 bytes. It becomes UTF-8 only where it is shown, and text a user
// typed into a window (an edited price) goes back to the dealer's bytes.

#include <optional>
#include <string>
#include <string_view>

namespace fennick::core {

// Windows-1252 bytes as UTF-8 text (the five unassigned bytes keep their own code points).
std::string cp1252ToUtf8(std::string_view bytes);

// The code points of UTF-8 text; a broken sequence gives U+FFFD for its first byte.
std::u32string utf8CodePoints(std::string_view utf8);
// The Windows-1252 byte of a code point, if the code page has one.
std::optional<unsigned char> cp1252ByteOf(char32_t codePoint);
// UTF-8 text as Windows-1252 bytes; characters the code page lacks become `replacement`.
std::string utf8ToCp1252(std::string_view utf8, char replacement = '?');

}  // namespace fennick::core
