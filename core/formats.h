#pragma once
// The display formats of the unit grid and the detail panel.

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/codec.h"
#include "engine/currency.h"

namespace fennick::core {

// "##########.#" of a reading kept in tenths: no leading zero, always the point, one decimal
// only when it is not zero (12345 gives "1234.5", 100 gives "10.", 0 gives ".").
std::string meterText(std::int64_t tenths);
// The short date text of the grid: month/day/four-digit year without leading zeros.
std::string shortDateText(Date date);
// Calendar days from `from` to `to` (negative when `from` is later).
std::int64_t daysBetween(Date from, Date to);
// The cost in letter code: the digits 1 to 9 become A to I; every other character stays.
std::string costLetterCode(std::string_view costText);
// "#########0.00".
inline std::string moneyText(Currency value) {
    return value.format();
}

}  // namespace fennick::core
