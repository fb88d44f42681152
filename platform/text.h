#pragma once
// Small text helpers shared by every layer: letter case the way the dealer system compares
// names (ASCII letters only, byte by byte), trimming, whole numbers read from text, and text
// made safe to print on a terminal.

#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace fennick::platform {

// The blanks the C library's isspace knows, for texts that are trimmed of any of them.
constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";

// `text` without the `blanks` characters at its start and end.
inline std::string_view trimBlanks(std::string_view text, std::string_view blanks = " ") {
    auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// A whole number read from the start of `text`: white space, an optional sign, then digits.
struct LeadingNumber {
    std::int32_t value = 0;
    std::size_t used = 0;  // characters read, the white space included
};
// Nothing when `text` does not start so or the number does not fit 32 bits.
inline std::optional<LeadingNumber> leadingNumber(std::string_view text) {
    std::size_t at = text.find_first_not_of(kWhiteSpace);
    if (at == std::string_view::npos) return std::nullopt;
    bool negative = text[at] == '-';
    if (negative || text[at] == '+') ++at;
    if (at >= text.size() || text[at] < '0' || text[at] > '9') return std::nullopt;
    std::int64_t magnitude = 0;
    auto [end, error] = std::from_chars(text.data() + at, text.data() + text.size(), magnitude);
    std::int64_t value = negative ? -magnitude : magnitude;
    if (error != std::errc() || value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return LeadingNumber{static_cast<std::int32_t>(value),
                         static_cast<std::size_t>(end - text.data())};
}
// The number when it is the whole of `text` (leading white space allowed), else nothing.
inline std::optional<std::int32_t> wholeNumber(std::string_view text) {
    auto number = leadingNumber(text);
    if (!number || number->used != text.size()) return std::nullopt;
    return number->value;
}

// A decimal number as it is typed: an optional sign, then digits with at most one point among
// them and at least one digit. Nothing when `text` is not of that form (blanks included).
struct DecimalText {
    bool negative = false;
    std::string_view digits;    // everything after the sign
    std::string_view whole;     // the digits before the point
    std::string_view fraction;  // the digits after it
};
inline std::optional<DecimalText> decimalText(std::string_view text) {
    DecimalText out;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        out.negative = text.front() == '-';
        text.remove_prefix(1);
    }
    out.digits = text;
    std::size_t point = text.find('.');
    out.whole = text.substr(0, point);
    out.fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    auto digitsOnly = [](std::string_view part) {
        return part.find_first_not_of("0123456789") == std::string_view::npos;
    };
    if (!digitsOnly(out.whole) || !digitsOnly(out.fraction)) return std::nullopt;
    if (out.whole.empty() && out.fraction.empty()) return std::nullopt;
    return out;
}

inline char upperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

inline std::string upperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = upperAscii(c);
    return out;
}

// Text as it may reach a terminal: every control character (C0, DEL and C1) and every byte
// that is not part of a well-formed UTF-8 sequence becomes U+FFFD, so that nothing read from
// the share or a settings file can move the cursor or start an escape sequence. With
// `keepLineEnds`, LF and CR LF stay (a CR on its own still goes). Everything the programs
// print on stdout or stderr passes through here.
std::string printable(std::string_view utf8, bool keepLineEnds = false);

inline bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upperAscii(a[i]) != upperAscii(b[i])) return false;
    return true;
}

}  // namespace fennick::platform
