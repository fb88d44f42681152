#include "ageing_chart.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QStackedBarSeries>
#include <QValueAxis>
#include <algorithm>

#include "shown_text.h"

namespace fennick::viewer {

namespace {

// Colours told apart at a glance, one per set; the chart theme's own repeat paler after five.
constexpr std::array<QRgb, kMaxChartSets> kSetColours = {0x1f77b4, 0xff7f0e, 0x2ca02c, 0xd62728,
                                                         0x9467bd, 0x8c564b, 0xe377c2, 0x7f7f7f};

void addCost(AgeingChartSet& set, const core::AgeingFigures& figures) {
    for (std::size_t b = 0; b < core::kAgeBuckets; ++b)
        set.cost[b] += figures.cost[b].toDouble();
}

// Sets past the last one shown are summed into "Other".
void foldTheRest(std::vector<AgeingChartSet>& sets) {
    if (sets.size() <= kMaxChartSets) return;
    AgeingChartSet other{"Other", {}};
    for (std::size_t s = kMaxChartSets - 1; s < sets.size(); ++s)
        for (std::size_t b = 0; b < core::kAgeBuckets; ++b)
            other.cost[b] += sets[s].cost[b];
    sets.resize(kMaxChartSets - 1);
    sets.push_back(other);
}

}  // namespace

std::vector<AgeingChartSet> ageingChartSets(const core::StockAgeing& ageing,
                                            const std::string& code) {
    const bool oneLine = std::any_of(ageing.rows.begin(), ageing.rows.end(),
                                     [&](const core::AgeingRow& row) { return row.code == code; });
    std::vector<AgeingChartSet> sets;
    for (const core::AgeingRow& row : ageing.rows) {
        if (oneLine && row.code != code) continue;
        const std::string& name = oneLine ? row.model : row.code;
        if (sets.empty() || sets.back().name != name || oneLine) sets.push_back({name, {}});
        addCost(sets.back(), row.figures);
    }
    foldTheRest(sets);
    return sets;
}

QChart* ageingChart(const std::vector<AgeingChartSet>& sets, const QString& title) {
    auto* series = new QStackedBarSeries;
    double low = 0, high = 0;
    std::array<double, core::kAgeBuckets> below{}, above{};
    for (std::size_t s = 0; s < sets.size(); ++s) {
        const AgeingChartSet& set = sets[s];
        auto* bars = new QBarSet(shownText(set.name));
        bars->setColor(QColor(kSetColours[s % kSetColours.size()]));
        bars->setBorderColor(Qt::white);
        for (std::size_t b = 0; b < core::kAgeBuckets; ++b) {
            *bars << set.cost[b];
            (set.cost[b] < 0 ? below : above)[b] += set.cost[b];
            low = std::min(low, below[b]);
            high = std::max(high, above[b]);
        }
        series->append(bars);
    }
    auto* chart = new QChart;
    chart->addSeries(series);
    chart->setTitle(title);
    auto* buckets = new QBarCategoryAxis;
    for (const char* name : core::kAgeBucketNames)
        buckets->append(QString("%1 days").arg(name));
    chart->addAxis(buckets, Qt::AlignBottom);
    series->attachAxis(buckets);
    auto* money = new QValueAxis;
    money->setRange(low, high > low ? high : low + 1);
    money->setLabelFormat("%.0f");
    money->applyNiceNumbers();
    chart->addAxis(money, Qt::AlignLeft);
    series->attachAxis(money);
    chart->legend()->setAlignment(Qt::AlignRight);
    chart->legend()->setVisible(!sets.empty());
    return chart;
}

}  // namespace fennick::viewer
