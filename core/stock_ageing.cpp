#include "stock_ageing.h"

#include "allocation.h"
#include "dealer_text.h"
#include "formats.h"
#include "model_tree.h"
#include "unit_list.h"

namespace fennick::core {

namespace {

constexpr std::array<std::int64_t, kAgeBuckets - 1> kBucketEnds = {90, 180, 365, 730};

}  // namespace

std::size_t ageBucket(std::int64_t daysInStock) {
    std::size_t bucket = 0;
    while (bucket < kBucketEnds.size() && daysInStock > kBucketEnds[bucket])
        ++bucket;
    return bucket;
}

void AgeingFigures::add(std::int64_t daysInStock, Currency unitCost, Currency dealerList) {
    std::size_t bucket = ageBucket(daysInStock);
    ++count[bucket];
    cost[bucket] += unitCost;
    list[bucket] += dealerList;
}

void AgeingFigures::add(const AgeingFigures& other) {
    for (std::size_t b = 0; b < kAgeBuckets; ++b) {
        count[b] += other.count[b];
        cost[b] += other.cost[b];
        list[b] += other.list[b];
    }
}

StockAgeing stockAgeingByModel(store::Store& store, WorkProgress* progress) {
    auto action = store.action();
    StockAgeing out;
    ModelTreeData tree = ModelTree(store).loadtree(false, progress);
    if (tree.cancelled) return {{}, {}, true};
    // The sales in progress are the same for every model of the action: collected once, each
    // model's list is checked against them.
    const AllocatedUnits sales = AllocatedUnits::collect(store);
    std::int64_t done = 0;
    for (const LineNode& line : tree.lines) {
        for (const ModelNode& node : line.models) {
            auto [code, model] = splitTag(node.tag);
            if (!goOn(progress, codec::trun(code) + " " + codec::trun(model), done++)) {
                return {{}, {}, true};
            }
            UnitList list = LoadUnits(store, code, model, sales);
            if (list.rows.empty()) continue;
            AgeingRow row{codec::trun(code), codec::trun(model), {}};
            for (const UnitRow& unit : list.rows)
                row.figures.add(unit.daysInStock, unit.cost, unit.dealerList);
            out.total.add(row.figures);
            out.rows.push_back(std::move(row));
        }
    }
    return out;
}

std::string ageingMoney(Currency value) {
    return std::string(trimBlanks(moneyText(value)));
}

std::vector<std::vector<std::string>> ageingTable(const StockAgeing& ageing) {
    std::vector<std::string> headings{"Line", "Model"};
    for (const char* prefix : {"", "Cost ", "List "})
        for (const char* bucket : kAgeBucketNames)
            headings.push_back(prefix + std::string(bucket));
    std::vector<std::vector<std::string>> out{headings};
    auto row = [&](std::string code, std::string model, const AgeingFigures& f) {
        std::vector<std::string> cells{std::move(code), std::move(model)};
        for (auto n : f.count)
            cells.push_back(std::to_string(n));
        for (const auto& money : {f.cost, f.list})
            for (Currency value : money)
                cells.push_back(ageingMoney(value));
        out.push_back(std::move(cells));
    };
    for (const AgeingRow& r : ageing.rows)
        row(r.code, r.model, r.figures);
    row("Total", "", ageing.total);
    return out;
}

}  // namespace fennick::core
