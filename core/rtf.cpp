#include "rtf.h"

#include <cstdint>

#include "cp1252.h"

namespace fennick::core {

namespace {

void appendHexByte(std::string& out, unsigned char byte) {
    static const char kHex[] = "0123456789abcdef";
    out += "\\'";
    out += kHex[byte >> 4];
    out += kHex[byte & 0x0F];
}

// A UTF-16 unit as RTF writes it: a signed 16-bit number, then "?" for readers without Unicode.
void appendUnicodeUnit(std::string& out, char16_t unit) {
    out += "\\u" + std::to_string(static_cast<std::int16_t>(unit)) + "?";
}

void appendCharacter(std::string& out, char32_t c) {
    if (c == '\\' || c == '{' || c == '}') {
        out += '\\';
        out += static_cast<char>(c);
    } else if (c == '\t') {
        out += "\\tab ";
    } else if (c >= 0x20 && c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x20) {
        return;  // other control characters have no place in the text
    } else if (auto byte = cp1252ByteOf(c)) {
        appendHexByte(out, *byte);
    } else if (c < 0x10000) {
        appendUnicodeUnit(out, static_cast<char16_t>(c));
    } else {
        char32_t v = c - 0x10000;
        appendUnicodeUnit(out, static_cast<char16_t>(0xD800 + (v >> 10)));
        appendUnicodeUnit(out, static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
    }
}

}  // namespace

std::string rtfDocument(std::string_view utf8Text, std::string_view fontName, int points) {
    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl{\\f0\\fmodern\\fcharset0 ";
    for (char32_t c : utf8CodePoints(fontName))
        appendCharacter(out, c);
    out += ";}}\n\\pard\\plain\\f0\\fs" + std::to_string(points * 2) + " ";
    std::u32string text = utf8CodePoints(utf8Text);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (text[i] == '\n' || text[i] == '\r')
            out += "\\par\n";
        else
            appendCharacter(out, text[i]);
    }
    out += "}\n";
    return out;
}

}  // namespace fennick::core
