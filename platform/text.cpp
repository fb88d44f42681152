#include "text.h"

namespace fennick::platform {

namespace {

// The length of the well-formed UTF-8 sequence at the start of `text` (1 to 4), or 0 when it
// is not one: a stray continuation byte, a cut sequence, an overlong form, a surrogate or a
// code point past U+10FFFF.
std::size_t sequenceLength(std::string_view text, char32_t& codePoint) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = lead < 0x80                    ? 1
                         : lead >= 0xC2 && lead <= 0xDF ? 2
                         : (lead & 0xF0) == 0xE0        ? 3
                         : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                        : 0;
    if (length == 0 || length > text.size()) return 0;
    codePoint = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (byte(i) & 0x3F);
    }
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (codePoint < kSmallest[length] || codePoint > 0x10FFFF ||
        (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return 0;
    return length;
}

bool isControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

}  // namespace

std::string printable(std::string_view utf8, bool keepLineEnds) {
    const std::string_view replacement = "\xEF\xBF\xBD";
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        std::size_t length = sequenceLength(utf8.substr(i), c);
        bool lineEnd = keepLineEnds &&
                       (c == '\n' || (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n'));
        if (length == 0 || (isControl(c) && !lineEnd)) {
            out += replacement;
            i += length == 0 ? 1 : length;
        } else {
            out += utf8.substr(i, length);
            i += length;
        }
    }
    return out;
}

}  // namespace fennick::platform
