#pragma once
// Record strings for the record tests, laid out byte by byte: big-endian integers written
// here, compressed text through the engine's codec.

#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "engine/codec.h"

namespace fennick::test_support {

// `value` as `width` big-endian bytes (two's complement).
inline std::string be(std::int64_t value, int width) {
    std::string out(static_cast<std::size_t>(width), '\0');
    auto bits = static_cast<std::uint64_t>(value);
    for (int i = width - 1; i >= 0; --i, bits >>= 8)
        out[static_cast<std::size_t>(i)] = static_cast<char>(bits & 0xFF);
    return out;
}

// Overwrites `rec` from 1-based `position` with `bytes`.
inline void put(std::string& rec, int position, std::string_view bytes) {
    rec.replace(static_cast<std::size_t>(position - 1), bytes.size(), bytes);
}

// The bytes of `rec` from 1-based `position`, `width` of them.
inline std::string at(const std::string& rec, int position, int width) {
    return rec.substr(static_cast<std::size_t>(position - 1), static_cast<std::size_t>(width));
}

// Text compressed three characters to two bytes, NUL-padded to `width` bytes when given.
inline std::string squeezed(std::string_view text, std::size_t width = 0) {
    std::string out = codec::compress(text);
    if (width) out.resize(width, '\0');
    return out;
}

// The same with the punctuation of invoice lines, where "-" is stored as "/" is.
inline std::string squeezedDash(std::string text, std::size_t width = 0) {
    for (char& c : text)
        if (c == '-') c = '/';
    return squeezed(text, width);
}

inline Date ymd(int y, unsigned m, unsigned d) {
    return Date{std::chrono::year{y} / std::chrono::month{m} / std::chrono::day{d}};
}

// The stored 2-byte day number of a date.
inline std::string day(Date date) {
    return be((date - codec::kDayZero).count(), 2);
}

// `original` inside the 1-based inclusive ranges, `filler` everywhere else: what packing the
// fields of `original` into a record of `filler` bytes must give.
inline std::string spliced(const std::string& original, char filler,
                           std::initializer_list<std::pair<int, int>> ranges) {
    std::string out(original.size(), filler);
    for (auto [first, last] : ranges)
        out.replace(first - 1, last - first + 1, original, first - 1, last - first + 1);
    return out;
}

// A record whose every byte differs from its neighbours and stays below 0xF0, so that any
// two bytes decompress to three characters and back.
inline std::string patterned(std::size_t length, int seed = 7) {
    std::string out(length, '\0');
    for (std::size_t i = 0; i < length; ++i)
        out[i] = static_cast<char>((i * 37 + static_cast<std::size_t>(seed)) % 0xF0);
    return out;
}

}  // namespace fennick::test_support
