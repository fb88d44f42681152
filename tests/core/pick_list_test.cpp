#include "core/pick_list.h"

#include <gtest/gtest.h>

#include "core/unit_buttons.h"

namespace fennick::core {
namespace {

UnitRow unitRow(const std::string& unit, const std::string& suggested, const std::string& dealer) {
    UnitRow row;
    row.unit = unit;
    row.suggestedList = Currency::parse(suggested).value();
    row.dealerList = Currency::parse(dealer).value();
    return row;
}

std::vector<std::string> unitsOf(const PickList& list) {
    std::vector<std::string> units;
    for (const auto& row : list.rows())
        units.push_back(row.unit);
    return units;
}

using Units = std::vector<std::string>;

TEST(PickList, TotalsSumSuggestedAndDealerListOverEveryRow) {
    PickList list;
    EXPECT_EQ(list.totals().suggestedList, "0.00");
    EXPECT_EQ(list.totals().dealerList, "0.00");
    list.add(unitRow("U1", "1200.00", "1000.00"));
    EXPECT_EQ(list.totals().suggestedList, "1200.00");
    EXPECT_EQ(list.totals().dealerList, "1000.00");
    list.add(unitRow("U2", "1200.00", "1000.00"));
    list.add(unitRow("U3", "0.05", "99999999.99"));
    EXPECT_EQ(list.totals().suggestedList, "2400.05");
    EXPECT_EQ(list.totals().dealerList, "100001999.99");
    EXPECT_EQ(unitsOf(list), (Units{"U1", "U2", "U3"}));
}

// A unit is the record it was read from, of its line and with its number: the same one is not
// added twice, whatever else of its row changed (listed again, its cost moved).
struct SecondAdd {
    const char* name;
    std::int32_t record;
    const char *line, *unit;
    bool added;
};

class PickListSecondAdd : public testing::TestWithParam<SecondAdd> {};

TEST_P(PickListSecondAdd, AddsOnlyAnotherUnit) {
    PickList list;
    UnitRow first = unitRow("U1", "1200.00", "1000.00");
    first.record = 7;
    first.lineCode = "CTR";
    list.add(unitRow("U0", "1.00", "1.00"));
    EXPECT_EQ(list.add(first).row, 1u);
    UnitRow second = first;
    second.record = GetParam().record;
    second.lineCode = GetParam().line;
    second.unit = GetParam().unit;
    second.cost = Currency::fromWhole(5);
    const PickList::Added added = list.add(second);
    EXPECT_EQ(added.added, GetParam().added);
    EXPECT_EQ(added.row, GetParam().added ? 2u : 1u);
    EXPECT_EQ(list.rows().size(), GetParam().added ? 3u : 2u);
    EXPECT_EQ(list.totals().dealerList, GetParam().added ? "2001.00" : "1001.00");
}

INSTANTIATE_TEST_SUITE_P(Units, PickListSecondAdd,
                         testing::Values(SecondAdd{"SameUnit", 7, "CTR", "U1", false},
                                         SecondAdd{"OtherRecord", 8, "CTR", "U1", true},
                                         SecondAdd{"OtherLine", 7, "MWR", "U1", true},
                                         SecondAdd{"OtherNumber", 7, "CTR", "U2", true}),
                         [](const testing::TestParamInfo<SecondAdd>& info) {
                             return std::string(info.param.name);
                         });

TEST(PickList, UsedFromTheFirstAddUntilClearedOrEmptied) {
    PickList list;
    EXPECT_FALSE(list.used());
    list.add(unitRow("U1", "1.00", "1.00"));
    list.add(unitRow("U2", "1.00", "1.00"));
    EXPECT_TRUE(list.remove(0));
    EXPECT_TRUE(list.used());
    EXPECT_FALSE(list.remove(1));
    EXPECT_TRUE(list.remove(0));
    EXPECT_FALSE(list.used());
    EXPECT_EQ(list.totals().dealerList, "0.00");
    list.add(unitRow("U3", "1.00", "1.00"));
    list.clear();
    EXPECT_FALSE(list.used());
    EXPECT_TRUE(list.empty());
}

TEST(PickList, MovesStopAtTheEnds) {
    PickList list;
    EXPECT_EQ(list.moveUp(0), 0u);
    EXPECT_EQ(list.moveDown(0), 0u);
    for (const char* unit : {"A", "B", "C"})
        list.add(unitRow(unit, "1.00", "1.00"));
    EXPECT_EQ(list.moveUp(0), 0u);
    EXPECT_EQ(list.moveDown(2), 2u);
    EXPECT_EQ(unitsOf(list), (Units{"A", "B", "C"}));
    EXPECT_EQ(list.moveDown(0), 1u);
    EXPECT_EQ(unitsOf(list), (Units{"B", "A", "C"}));
    EXPECT_EQ(list.moveUp(2), 1u);
    EXPECT_EQ(unitsOf(list), (Units{"B", "C", "A"}));
    EXPECT_EQ(list.moveUp(7), 7u);
    EXPECT_EQ(unitsOf(list), (Units{"B", "C", "A"}));
}

TEST(UnitButtonRules, ShownUnitDrivesTheButtonsOutsideThePointOfSale) {
    UnitButtonRules rules(false);
    EXPECT_FALSE(rules.buttons().totals || rules.buttons().addToInvoice);
    rules.pickListAdded();
    EXPECT_FALSE(rules.buttons().addToInvoice);
    rules.unitShown();
    UnitButtons shown = rules.buttons();
    EXPECT_TRUE(shown.totals && shown.quickPayment && shown.print && shown.addToInvoice);
    rules.pickListCleared();
    EXPECT_TRUE(rules.buttons().addToInvoice);
    rules.unitCleared();
    EXPECT_FALSE(rules.buttons().print || rules.buttons().addToInvoice);
}

TEST(UnitButtonRules, PointOfSaleAddToInvoiceFollowsThePickListOnly) {
    UnitButtonRules rules(true);
    rules.unitShown();
    EXPECT_TRUE(rules.buttons().totals);
    EXPECT_FALSE(rules.buttons().addToInvoice);
    rules.pickListAdded();
    EXPECT_TRUE(rules.buttons().addToInvoice);
    rules.unitCleared();  // another model clicked, or the tree filter switched
    EXPECT_FALSE(rules.buttons().totals);
    EXPECT_TRUE(rules.buttons().addToInvoice);
    rules.unitShown();
    rules.pickListCleared();
    EXPECT_FALSE(rules.buttons().addToInvoice);
    EXPECT_TRUE(rules.buttons().quickPayment);
}

}  // namespace
}  // namespace fennick::core
