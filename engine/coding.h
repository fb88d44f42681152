#pragma once
// The fixed-width big-endian integers of the dealer files, as small inline readers and writers.
// Callers check bounds first: each function touches exactly its width of bytes at `p`.
// The field codes B C D (unsigned) and I J K (signed) are 1, 2 and 3 bytes; L is 4, signed.

#include <cstdint>
#include <optional>

namespace fennick::coding {

enum class Int : std::uint8_t { U8, U16, U24, S8, S16, S24, S32 };

constexpr int widthOf(Int kind) {
    switch (kind) {
        case Int::U8:
        case Int::S8:
            return 1;
        case Int::U16:
        case Int::S16:
            return 2;
        case Int::U24:
        case Int::S24:
            return 3;
        case Int::S32:
            break;
    }
    return 4;
}

constexpr bool isSigned(Int kind) {
    return kind == Int::S8 || kind == Int::S16 || kind == Int::S24 || kind == Int::S32;
}

// The field code of a kind, and the kind a field code names (upper case; nothing for any other
// character).
constexpr char codeOf(Int kind) {
    constexpr char codes[] = {'B', 'C', 'D', 'I', 'J', 'K', 'L'};
    return codes[static_cast<int>(kind)];
}

constexpr std::optional<Int> intOfCode(char code) {
    switch (code) {
        case 'B':
            return Int::U8;
        case 'C':
            return Int::U16;
        case 'D':
            return Int::U24;
        case 'I':
            return Int::S8;
        case 'J':
            return Int::S16;
        case 'K':
            return Int::S24;
        case 'L':
            return Int::S32;
        default:
            return std::nullopt;
    }
}

inline std::uint32_t byteAt(const char* p, int i) {
    return static_cast<unsigned char>(p[i]);
}

inline std::uint32_t readU8(const char* p) {
    return byteAt(p, 0);
}
inline std::uint32_t readU16(const char* p) {
    return byteAt(p, 0) << 8 | byteAt(p, 1);
}
inline std::uint32_t readU24(const char* p) {
    return byteAt(p, 0) << 16 | byteAt(p, 1) << 8 | byteAt(p, 2);
}
inline std::uint32_t readU32(const char* p) {
    return byteAt(p, 0) << 24 | readU24(p + 1);
}

// `bits` of `width` bytes read as two's complement.
inline std::int32_t signExtended(std::uint32_t bits, int width) {
    if (width < 4 && (bits & (1u << (width * 8 - 1)))) bits |= ~((1u << (width * 8)) - 1);
    return static_cast<std::int32_t>(bits);
}

inline std::int32_t readS16(const char* p) {
    return signExtended(readU16(p), 2);
}
inline std::int32_t readS24(const char* p) {
    return signExtended(readU24(p), 3);
}
inline std::int32_t readS32(const char* p) {
    return static_cast<std::int32_t>(readU32(p));
}

inline std::int32_t readInt(Int kind, const char* p) {
    switch (kind) {
        case Int::U8:
            return static_cast<std::int32_t>(readU8(p));
        case Int::U16:
            return static_cast<std::int32_t>(readU16(p));
        case Int::U24:
            return static_cast<std::int32_t>(readU24(p));
        case Int::S8:
            return signExtended(readU8(p), 1);
        case Int::S16:
            return readS16(p);
        case Int::S24:
            return readS24(p);
        case Int::S32:
            break;
    }
    return readS32(p);
}

// The low `widthOf(kind)` bytes of `value`, most significant first; higher bits are dropped.
inline void writeInt(Int kind, char* p, std::int32_t value) {
    auto bits = static_cast<std::uint32_t>(value);
    for (int i = widthOf(kind) - 1; i >= 0; --i, bits >>= 8)
        p[i] = static_cast<char>(bits & 0xFF);
}

}  // namespace fennick::coding
