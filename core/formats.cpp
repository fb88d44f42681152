#include "formats.h"

namespace fennick::core {

std::string meterText(std::int64_t tenths) {
    std::string sign = tenths < 0 ? "-" : "";
    std::uint64_t magnitude =
        tenths < 0 ? 0 - static_cast<std::uint64_t>(tenths) : static_cast<std::uint64_t>(tenths);
    std::uint64_t whole = magnitude / 10, decimal = magnitude % 10;
    std::string text = sign + (whole == 0 ? std::string() : std::to_string(whole)) + ".";
    return decimal == 0 ? text : text + std::to_string(decimal);
}

std::string shortDateText(Date date) {
    std::chrono::year_month_day ymd{date};
    return std::to_string(static_cast<unsigned>(ymd.month())) + "/" +
           std::to_string(static_cast<unsigned>(ymd.day())) + "/" +
           std::to_string(static_cast<int>(ymd.year()));
}

std::int64_t daysBetween(Date from, Date to) {
    return (to - from).count();
}

std::string costLetterCode(std::string_view costText) {
    std::string code(costText);
    for (char& c : code)
        if (c >= '1' && c <= '9') c = static_cast<char>('A' + (c - '1'));
    return code;
}

}  // namespace fennick::core
