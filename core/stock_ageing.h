#pragma once
// Stock ageing: for every model of the tree, the units its unit list lists, counted by how long
// they have stood in stock, with their cost and dealer list price summed per age bucket.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/currency.h"
#include "store/store.h"
#include "work_progress.h"

namespace fennick::core {

constexpr std::size_t kAgeBuckets = 5;
// The buckets' names, by days in stock; a negative number of days counts in the first.
constexpr std::array<const char*, kAgeBuckets> kAgeBucketNames = {"0-90", "91-180", "181-365",
                                                                  "366-730", "731+"};
std::size_t ageBucket(std::int64_t daysInStock);

struct AgeingFigures {
    std::array<std::int64_t, kAgeBuckets> count{};
    std::array<Currency, kAgeBuckets> cost{};
    std::array<Currency, kAgeBuckets> list{};  // the dealer's list price

    void add(std::int64_t daysInStock, Currency unitCost, Currency dealerList);
    void add(const AgeingFigures& other);
};

struct AgeingRow {
    std::string code;   // the line code, trimmed
    std::string model;  // trimmed
    AgeingFigures figures;
};

struct StockAgeing {
    std::vector<AgeingRow> rows;  // tree order; models that list no unit are left out
    AgeingFigures total;
    bool cancelled = false;  // stopped early: nothing in `rows` or `total` is to be shown
};

// Builds the tree with the in-stock filter off and ages every unit its models' unit lists list,
// in one pass, as one action of the read cache: the tree's walk reads every unit record, each
// model takes its units from the index as its list does, and the units are settled in large
// batches (checked against the sales in progress, collected once, and their sub-ledger chains
// walked together). Engine failures reach the caller. With `progress`, the tree's lines are
// steps, then each model and each batch: their `done` counts the units settled so far, of
// `total`, the units the tree met.
StockAgeing stockAgeing(store::Store& store, WorkProgress* progress = nullptr);

// The same answer worked out as the clerk would: the tree, then every model's unit list one by
// one. Slow; kept as the reference the one pass is checked and measured against.
StockAgeing stockAgeingByModel(store::Store& store, WorkProgress* progress = nullptr);

// Money as the grid shows it ("#########0.00"), without the padding.
std::string ageingMoney(Currency value);

// The ageing as one table of texts: a heading row ("Line", "Model", a unit count per bucket,
// then the cost per bucket and the dealer list per bucket), a row per model and a "Total" row.
std::vector<std::vector<std::string>> ageingTable(const StockAgeing& ageing);

}  // namespace fennick::core
