#pragma once
// The totals window's arithmetic: list price, cost, profit and margin, where the salesperson
// changes one of list price, margin (percent) or profit and the other two follow from the
// fixed cost.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace fennick::core {

// The three boxes the salesperson edits, in window order.
enum class TotalsBox { ListPrice = 0, Margin = 1, Profit = 2 };

struct TotalsResult {
    // The new text of each box: the two that follow, and the box it started from with its
    // number formatted as the others are.
    std::array<std::string, 3> boxes;
    bool costIsZero = false;  // the warning picture shows
};

// A decimal number as typed: blanks around it, an optional sign, digits with at most one
// point. Nothing when the text is not such a number.
std::optional<double> readDecimal(std::string_view text);
// "#########0.00" of a double.
std::string totalsText(double value);

// Recomputes from the box that was left. Nothing when a box does not read as a number or the
// figures have no finite answer (a margin of exactly 100).
std::optional<TotalsResult> recomputeTotals(TotalsBox from, std::string_view costText,
                                            std::string_view boxText);

constexpr std::string_view kDataEntryErrorText = "Data entry error... numeric only!";

}  // namespace fennick::core
