#include "core/unit_detail.h"

#include <gtest/gtest.h>

#include "core/model_tree.h"
#include "viewer_share.h"

namespace fennick::core {
namespace {

using Grid = std::vector<std::vector<std::string>>;

demo::DealerData notesData() {
    demo::DealerData d;
    d.lines = {test_support::unitLine()};
    demo::UnitSpec u = test_support::unitOf("CT100", "C1");
    Date day = Date{std::chrono::year{2025} / 5 / 2};
    u.notes = {{2, "CAB", 1, day, "Cab with heat", 100, 250000},
               {1, "", 0, day, "  Checked in  "},
               {5, "X", 9, day, "skipped"},
               {3, "WEIGHTS", 4, day, "Rear weights", 0, 19999},
               {0, "Y", 0, day, "skipped too"},
               {4, "A500001", 1, day, "Loader", 0, 0},
               {1, "", 0, day, "Sold to follow"}};
    d.units = {u};
    return d;
}

TEST(UnitDetail, NotesSortedIntoTheFourGrids) {
    test_support::ViewerShare share(notesData());
    std::vector<std::string> problems;
    NoteGrids grids = readUnitNotes(*share.store, 1, problems);
    EXPECT_EQ(grids.factory, (Grid{{"CAB", "1", "Cab with heat", "2500.00"}}));
    EXPECT_EQ(grids.dealer, (Grid{{"WEIGHTS", "4", "Rear weights", "199.99"}}));
    EXPECT_EQ(grids.attached, (Grid{{"A500001", "1", "Loader", "0.00"}}));
    EXPECT_EQ(grids.notes, (std::vector<std::string>{"Checked in", "Sold to follow"}));
    EXPECT_TRUE(problems.empty());
    NoteGrids none = readUnitNotes(*share.store, 0, problems);
    EXPECT_TRUE(none.factory.empty() && none.notes.empty());
}

TEST(UnitDetail, LoopingNoteChainStopsAtTheRepeatedRecord) {
    test_support::ViewerShare share(notesData());
    std::string link(4, '\0');
    codec::pack("L", link, 2, 1);
    share.patchRecord("UNOTEL", 4, 81, link);  // the dealer option links back to note 2
    std::vector<std::string> problems;
    NoteGrids grids = readUnitNotes(*share.store, 1, problems);
    EXPECT_EQ(grids.notes, std::vector<std::string>{"Checked in"});
    EXPECT_EQ(grids.dealer.size(), 1u);
    EXPECT_TRUE(grids.attached.empty());
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0], "The note chain returns to record 2; the notes before it are shown.");
}

TEST(UnitDetail, ValuesFromTheRow) {
    UnitRow row;
    row.serial = "c7";
    row.description = "c20";
    row.suggestedList = Currency::fromCents(2100);
    row.dealerList = Currency::fromCents(2200);
    row.cost = Currency::fromCents(123450);
    row.daysInStock = 24;
    DetailValues values = showUnitDetails(row);
    EXPECT_EQ(values[0], "c7");
    EXPECT_EQ(values[13], "c20");
    EXPECT_EQ(values[15], "22.00");
    EXPECT_EQ(values[16], "ABCD.E0");
    EXPECT_EQ(values[17], "24");

    test_support::ViewerShare share(notesData());
    row.noteChain = 1;
    UnitDetail detail = selectUnit(*share.store, row);
    EXPECT_EQ(detail.values, values);
    EXPECT_EQ(detail.grids.notes.size(), 2u);
}

TEST(UnitDetail, NodeClickShowsTheFirstUnit) {
    test_support::ViewerShare share(notesData());
    NodeClick model = clickNode(*share.store, modelTag("CTR", "CT100" + std::string(13, ' ')));
    ASSERT_EQ(model.list.rows.size(), 1u);
    ASSERT_TRUE(model.firstUnit);
    EXPECT_EQ(model.firstUnit->grids.notes.size(), 2u);
    NodeClick line = clickNode(*share.store, "CTR");  // a line node lists unnamed models only
    EXPECT_TRUE(line.list.rows.empty());
    EXPECT_FALSE(line.firstUnit);
}

TEST(UnitDetail, ButtonsAfterAStartFromThePointOfSale) {
    UnitButtons pos = buttonsForShownUnit(true);
    EXPECT_TRUE(pos.totals && pos.quickPayment && pos.print);
    EXPECT_FALSE(pos.addToInvoice);
    EXPECT_TRUE(buttonsForShownUnit(false).addToInvoice);
}

}  // namespace
}  // namespace fennick::core
