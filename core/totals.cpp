#include "totals.h"

#include <charconv>
#include <cmath>

#include "engine/currency.h"
#include "platform/text.h"

namespace fennick::core {

namespace {

// Doubles whose ten-thousandths still fit the fixed-point type.
constexpr double kFixedPointLimit = 9.0e14;

std::optional<TotalsResult> finished(TotalsResult result, double a, double b) {
    if (!std::isfinite(a) || !std::isfinite(b)) return std::nullopt;
    return result;
}

}  // namespace

std::optional<double> readDecimal(std::string_view text) {
    auto decimal = platform::decimalText(platform::trimBlanks(text));
    if (!decimal) return std::nullopt;
    // from_chars reads the point whatever the process locale says.
    double value = 0;
    std::string_view digits = decimal->digits;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || !std::isfinite(value))
        return std::nullopt;
    return decimal->negative ? -value : value;
}

std::string totalsText(double value) {
    if (std::fabs(value) < kFixedPointLimit) return Currency::fromDouble(value).format();
    char buffer[400];
    auto end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2).ptr;
    return std::string(buffer, end);
}

std::optional<TotalsResult> recomputeTotals(TotalsBox from, std::string_view costText,
                                            std::string_view boxText) {
    auto cost = readDecimal(costText);
    auto input = readDecimal(boxText);
    if (!cost || !input) return std::nullopt;
    TotalsResult result;
    result.costIsZero = *cost == 0;
    result.boxes[static_cast<std::size_t>(from)] = totalsText(*input);
    auto marginOf = [&](double list) { return list == 0 ? 0.0 : (list - *cost) / list; };
    switch (from) {
        case TotalsBox::ListPrice: {
            double margin = marginOf(*input), profit = *input - *cost;
            result.boxes[1] = totalsText(margin * 100);
            result.boxes[2] = totalsText(profit);
            return finished(result, margin, profit);
        }
        case TotalsBox::Margin: {
            if (*input == 100) return std::nullopt;
            double list = *cost / (100 - *input) * 100, profit = list - *cost;
            result.boxes[0] = totalsText(list);
            result.boxes[2] = totalsText(profit);
            return finished(result, list, profit);
        }
        case TotalsBox::Profit: {
            double list = *cost + *input, margin = marginOf(list);
            result.boxes[0] = totalsText(list);
            result.boxes[1] = totalsText(margin * 100);
            return finished(result, list, margin);
        }
    }
    return std::nullopt;
}

}  // namespace fennick::core
