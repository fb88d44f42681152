#pragma once
// The stock ageing chart: the cost standing in each age bucket as stacked bars, one bar per
// bucket. For one line the bars stack that line's models; for all lines they stack the lines.

#include <QString>
#include <array>
#include <string>
#include <vector>

#include "core/stock_ageing.h"

QT_BEGIN_NAMESPACE
class QChart;
QT_END_NAMESPACE

namespace fennick::viewer {

struct AgeingChartSet {
    std::string name;  // a model or a line code, in the dealer's text
    std::array<double, core::kAgeBuckets> cost{};
};

// At most this many sets are stacked; the rest are summed into one "Other" set.
constexpr std::size_t kMaxChartSets = 8;

// The sets for line `code` (its models, in table order), or for every line (summed per line,
// in table order) when `code` is empty or names no line of the table.
std::vector<AgeingChartSet> ageingChartSets(const core::StockAgeing& ageing,
                                            const std::string& code);

// A new chart of `sets`, titled `title`.
QChart* ageingChart(const std::vector<AgeingChartSet>& sets, const QString& title);

}  // namespace fennick::viewer
