#pragma once
// The keys of the indexes the program walks, as layout tables like the records'.
//
// MUNITI, one entry per unit in line, model and unit number order (22 bytes):
//   1-2 line number (C) | 3-14 model number, compressed | 15-22 unit number
// LINEI, two entries per product line (2 bytes): its line number (C), and its line code
// compressed; keys from 1000 on are codes, those below line numbers.

#include <cstdint>
#include <string>
#include <string_view>

#include "records/layout.h"

namespace fennick {

struct UnitIndexKey {
    std::int32_t Line = 0;
    std::string Model_Number;
    std::string Unit_Number;

    static constexpr std::int32_t kLength = 22;
    static records::Layout<UnitIndexKey> layout();

    // The key at which the entries of a line begin, and of a model of it.
    static std::string ofLine(std::int32_t line);
    static std::string ofModel(std::int32_t line, std::string_view model);
    // The smallest key above every entry of the model; empty when there is none.
    static std::string pastModel(std::int32_t line, std::string_view model);
    void Unpack(std::string_view key);
    static UnitIndexKey of(std::string_view key) {
        UnitIndexKey out;
        out.Unpack(key);
        return out;
    }
    // True when the entry belongs to `line` and to the model whose trimmed text is
    // `trimmedModel`.
    bool inModel(std::int32_t line, std::string_view trimmedModel) const;
};

struct LineIndexKey {
    std::int32_t Line = 0;
    std::string Line_Code;

    static constexpr std::int32_t kLength = 2;
    // The smallest key that is a line code rather than a line number.
    static constexpr std::int32_t kFirstCodeKey = 1000;
    static records::Layout<LineIndexKey> layout();

    static std::string ofLine(std::int32_t line);
    static std::string ofCode(std::string_view code);
    void Unpack(std::string_view key);
    bool isLineNumber() const { return Line < kFirstCodeKey; }
};

}  // namespace fennick
