#pragma once
// Small text helpers of the core. Dealer text stays in its Windows-1252 bytes inside
// the core; it becomes UTF-8 only where it is shown.

#include <string>
#include <string_view>

#include "platform/text.h"

namespace fennick::core {

// Dealer text as the windows show it: up to its first NUL byte. Some text fields share their
// last byte with a binary field (the unit's location with its first user-defined number).
inline std::string_view upToNul(std::string_view text) {
    return text.substr(0, text.find('\0'));
}
// Without leading and trailing blanks.
using platform::trimBlanks;
// Writes `text` over `target` from 1-based position `at`, never changing the length of `target`
// (the text is cut at its end).
void overwrite(std::string& target, std::size_t at, std::string_view text);
// True when `needle` occurs in `haystack`; an empty haystack contains nothing and an empty
// needle is found in any other text.
bool containsText(std::string_view haystack, std::string_view needle);

}  // namespace fennick::core
