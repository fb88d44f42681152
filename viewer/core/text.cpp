#include "text.h"

namespace fennick::viewer {

namespace {

// Code points of the bytes 0x80 to 0x9F; the five unassigned bytes keep their own value.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::string trimBlanks(std::string_view text) {
    auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

void overwrite(std::string& target, std::size_t at, std::string_view text) {
    if (at < 1 || at > target.size()) return;
    std::size_t n = std::min(text.size(), target.size() - (at - 1));
    target.replace(at - 1, n, text.substr(0, n));
}

bool containsText(std::string_view haystack, std::string_view needle) {
    return !haystack.empty() && haystack.find(needle) != std::string_view::npos;
}

std::string cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char byte : bytes) {
        auto b = static_cast<unsigned char>(byte);
        char32_t c = b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : b;
        appendUtf8(out, c);
    }
    return out;
}

}  // namespace fennick::viewer
