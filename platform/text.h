#pragma once
// Small text helpers shared by every layer: letter case the way the dealer system compares
// names (ASCII letters only, byte by byte), trimming, and whole numbers read from text.

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

inline char upperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

inline std::string upperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = upperAscii(c);
    return out;
}

inline bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upperAscii(a[i]) != upperAscii(b[i])) return false;
    return true;
}

}  // namespace fennick::platform
