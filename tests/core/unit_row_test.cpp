// The unit column table's sort keys: numbers, money and dates sort by value, not by their text.
#include "core/unit_row.h"

#include <gtest/gtest.h>

namespace fennick::core {
namespace {

struct Order {
    const char* name;
    UnitColumn column;
    UnitRow lower, higher;
};

UnitRow with(void (*set)(UnitRow&)) {
    UnitRow row;
    set(row);
    return row;
}

class UnitColumnOrder : public ::testing::TestWithParam<Order> {};

TEST_P(UnitColumnOrder, LowerSortsFirst) {
    const Order& o = GetParam();
    EXPECT_LT(compareUnitRows(o.lower, o.higher, o.column), 0);
    EXPECT_GT(compareUnitRows(o.higher, o.lower, o.column), 0);
    EXPECT_EQ(compareUnitRows(o.lower, o.lower, o.column), 0);
}

// Each pair sorts the other way round as text.
INSTANTIATE_TEST_SUITE_P(
    Columns, UnitColumnOrder,
    ::testing::Values(
        Order{"days", UnitColumn::DaysInStock, with([](UnitRow& r) { r.daysInStock = 9; }),
              with([](UnitRow& r) { r.daysInStock = 10; })},
        Order{"negative cost", UnitColumn::Cost,
              with([](UnitRow& r) { r.cost = Currency::fromCents(-2500); }),
              with([](UnitRow& r) { r.cost = Currency::fromCents(-100); })},
        Order{"list price", UnitColumn::SuggestedList,
              with([](UnitRow& r) { r.suggestedList = Currency::fromWhole(950); }),
              with([](UnitRow& r) { r.suggestedList = Currency::fromWhole(1200); })},
        Order{"meter", UnitColumn::Meter, with([](UnitRow& r) { r.meterTenths = 95; }),
              with([](UnitRow& r) { r.meterTenths = 100; })},
        Order{"date", UnitColumn::DateReceived,
              with([](UnitRow& r) { r.received = Date{std::chrono::year{2025} / 9 / 30}; }),
              with([](UnitRow& r) { r.received = Date{std::chrono::year{2025} / 10 / 1}; })},
        Order{"text", UnitColumn::Unit, with([](UnitRow& r) { r.unit = "C10"; }),
              with([](UnitRow& r) { r.unit = "C9"; })}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& c : name)
            if (c == ' ') c = '_';
        return name;
    });

}  // namespace
}  // namespace fennick::core
