#include "core/unit_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "core/allocation.h"
#include "core/model_tree.h"
#include "viewer_share.h"

namespace fennick::core {
namespace {

using namespace std::chrono;
using test_support::unitOf;

demo::UnitSpec fullUnit() {
    demo::UnitSpec u = unitOf("CT100 HST", "C1");
    u.description = "COMPACT TRACTOR";
    u.make =
        "Br\xE4"
        "ckwater";
    u.serial = "1BW400";
    u.mfgId = "BWX";
    u.year = 2023;
    u.series = "S2";
    u.engineType = "DS";
    u.engineId = "EN77";
    u.drive = "4W";
    u.color = "GREEN";
    u.meterTenths = 12345;
    u.status = "A";
    u.unitType = "N";
    u.location = "LOT A";
    u.numeric1 = -5;
    u.numeric2 = 2;
    u.alpha1 = "KEY 1";
    u.received = sys_days{year{2025} / 6 / 30};
    u.dealerListCents = 1234550;
    u.suggestedListCents = 1400000;
    u.ledgerCents = {150000, 2500};
    u.notes = {{1, "", 0, u.received, "Arrived"}};
    return u;
}

demo::UnitSpec withStatus(demo::UnitSpec u, std::int32_t invoice, bool soldByDate) {
    u.soldInvoice = invoice;
    if (soldByDate) u.sold = u.received + days(10);
    return u;
}

// Units of CTR / "CT100 HST": C1 listed, C2 sold by date, C3 on a sold invoice, 12 named by a
// part number on page 3 of an open ticket, C5 listed, C6 on an invoice of the FILE0 lists
// behind a stale entry, C7 in a ticket's remark; C8 is of another model.
demo::DealerData listData() {
    demo::DealerData d;
    d.lines = {test_support::unitLine()};
    auto received = [](demo::UnitSpec u, Date day) { return u.received = day, u; };
    d.units = {fullUnit(),
               withStatus(unitOf("CT100 HST", "C2"), 0, true),
               withStatus(unitOf("CT100 HST", "C3"), 7001, false),
               unitOf("CT100 HST", "12"),
               received(unitOf("CT100 HST", "C5"), sys_days{year{2025} / 7 / 1}),
               unitOf("CT100 HST", "C6"),
               unitOf("CT100 HST", "C7"),
               unitOf("CT200", "C8")};
    d.openTickets = {test_support::invoiceNaming({{"P1"}, {"P2"}, {"A12B"}}),
                     test_support::invoiceNaming({{"P3"}})};
    d.openTickets[1].number = 500002;
    d.openTickets[1].pages[0].push_back(demo::LineEntrySpec::remark("...UNIT NUMBER... C7"));
    d.listedInvoices = {test_support::invoiceNaming({{"C6"}})};
    d.listPositions = {40};                                // block 701, slot 1, entry 9
    d.rawListEntries = {{39, 999999}, {200, 0x00000100}};  // stale, and one more slot
    return d;
}

std::vector<std::string> unitNumbers(const UnitList& list) {
    std::vector<std::string> out;
    for (const auto& row : list.rows)
        out.push_back(row.unit);
    return out;
}

void expectBothWays(store::Store& store, const std::string& line, const std::string& model,
                    const std::vector<std::string>& expected) {
    EXPECT_EQ(unitNumbers(LoadUnits(store, line, model)), expected);
    EXPECT_EQ(unitNumbers(LoadUnits(store, line, model, AllocationCheck::PerUnit)), expected);
}

// The location's 7th byte is the first byte of numeric 1 (-5 here).
TEST(UnitList, RowHoldsThirtyColumns) {
    test_support::ViewerShare share(listData());
    UnitList list = LoadUnits(*share.store, "CTR", "CT100 HST");
    ASSERT_FALSE(list.rows.empty());
    const std::vector<std::string> expected = {"C1",
                                               "Br\xE4"
                                               "ckwater",
                                               "CT100 HST",
                                               "2023",
                                               "GREEN",
                                               "6/30/2025",
                                               "LOT A \xFF",
                                               "1BW400",
                                               "BWX",
                                               "S2",
                                               "DS",
                                               "EN77",
                                               "4W",
                                               "1234.5",
                                               "A",
                                               "N",
                                               "KEY 1",
                                               "",
                                               "-5",
                                               "2",
                                               "COMPACT TRACTOR",
                                               "14000.00",
                                               "12345.50",
                                               "1525.00",
                                               "1",
                                               "1",
                                               "0",
                                               "1",
                                               "CTR",
                                               "CT100 HST"};
    EXPECT_EQ(unitCells(list.rows[0]), expected);
    EXPECT_TRUE(list.problems.empty());
}

TEST(UnitList, InStockUnitsOnly) {
    test_support::ViewerShare share(listData());
    expectBothWays(*share.store, "CTR", "CT100 HST", {"C1", "C5"});
    expectBothWays(*share.store, "CTR", "CT200", {"C8"});
    expectBothWays(*share.store, "XYZ", "CT100 HST", {});
    UnitList list = LoadUnits(*share.store, "CTR", "CT100 HST");
    EXPECT_EQ(cellText(list.rows[1], UnitColumn::Cost), "0.00");
    EXPECT_EQ(cellText(list.rows[1], UnitColumn::DaysInStock), "0");
    // A model from a tree tag keeps its blanks and is listed the same way.
    auto [code, model] = splitTag(modelTag("CTR", "CT200" + std::string(13, ' ')));
    UnitList fromTag = LoadUnits(*share.store, code, model);
    ASSERT_EQ(fromTag.rows.size(), 1u);
    EXPECT_EQ(fromTag.rows[0].listedModel, "CT200" + std::string(22, ' '));
}

TEST(UnitList, WithoutOpenTicketsNothingCountsAsTaken) {
    test_support::ViewerShare share(listData());
    share.dropLink("TICKI");
    expectBothWays(*share.store, "CTR", "CT100 HST", {"12", "C1", "C5", "C6", "C7"});
}

TEST(UnitList, TicketsStillCountWithoutFile0) {
    test_support::ViewerShare share(listData());
    share.log->memory.setUnopenable("\\\\DEMOSRV\\TARNLNK\\DLR001\\FILE0");
    share.reopen();
    expectBothWays(*share.store, "CTR", "CT100 HST", {"C1", "C5", "C6"});
}

TEST(UnitList, LoopingSubLedgerCountsEachPostingOnce) {
    test_support::ViewerShare share(listData());
    std::string link(4, '\0');
    codec::pack("L", link, 1, 1);
    share.patchRecord("LUNITL", 2, 61, link);  // C1's second posting links back to its first
    UnitList list = LoadUnits(*share.store, "CTR", "CT100 HST");
    EXPECT_EQ(cellText(list.rows[0], UnitColumn::Cost), "1525.00");
    ASSERT_EQ(list.problems.size(), 1u);
    EXPECT_EQ(list.problems[0],
              "The sub-ledger chain of unit C1 returns to record 1; its cost counts the postings "
              "before that.");
    codec::pack("L", link, 77777, 1);
    share.patchRecord("LUNITL", 2, 61, link);
    list = LoadUnits(*share.store, "CTR", "CT100 HST");
    EXPECT_EQ(cellText(list.rows[0], UnitColumn::Cost), "1525.00");
    EXPECT_NE(list.problems.at(0).find("77777, outside LUNITL"), std::string::npos);
}

// Units that the sold and allocation tests drop are dropped before their sub-ledger is read:
// no chain problem names a unit the list does not show.
TEST(UnitList, DroppedUnitsAreNotReadFurther) {
    demo::DealerData data = listData();
    data.units[2].ledgerCents = {100, 200};  // C3, on a sold invoice: LUNITL 3 and 4
    data.units[3].ledgerCents = {100, 200};  // 12, on an open ticket: LUNITL 5 and 6
    test_support::ViewerShare share(data);
    std::string link(4, '\0');
    for (std::int32_t first : {3, 5}) {
        codec::pack("L", link, first, 1);
        share.patchRecord("LUNITL", first + 1, 61, link);  // a loop back to the first posting
    }
    for (auto check : {AllocationCheck::OncePerList, AllocationCheck::PerUnit}) {
        UnitList list = LoadUnits(*share.store, "CTR", "CT100 HST", check);
        EXPECT_EQ(unitNumbers(list), (std::vector<std::string>{"C1", "C5"}));
        EXPECT_TRUE(list.problems.empty()) << list.problems.front();
    }
}

TEST(UnitList, EachInvoicePageIsReadOnce) {
    demo::DealerData data = demo::generateDemo(
        {.units = 240, .models = 4, .tickets = 40, .listed = 60, .today = demo::kFixedDay});
    // The first ticket's last page is INVOL record (its page count): list it as well.
    data.rawListEntries.push_back(
        {7900, static_cast<std::int32_t>(data.openTickets[0].pages.size())});
    for (bool cached : {true, false}) {
        test_support::ViewerShare share(data, cached);
        share.clearReadLog();
        UnitList list = LoadUnits(*share.store, "CTR", "CT100");
        ASSERT_FALSE(list.rows.empty());
        int most = 0;
        for (const auto& [where, count] : share.log->reads)
            if (where.first.find("INVO.DB") != std::string::npos) most = std::max(most, count);
        if (cached)
            EXPECT_EQ(most, 1);
        else
            EXPECT_GT(most, 1);  // without the cache the lookup reads pages again
    }
}

// The one-pass check must answer exactly as the unit-by-unit definition, on generated shares
// and on the same shares with damaged pages and stale list entries.
TEST(UnitList, OnePassAgreesWithTheUnitByUnitCheck) {
    for (std::uint64_t seed : {1u, 2u, 3u}) {
        demo::DealerData data = demo::generateDemo({.units = 300,
                                                    .models = 6,
                                                    .tickets = 25,
                                                    .listed = 40,
                                                    .seed = seed,
                                                    .today = demo::kFixedDay});
        data.rawListEntries.push_back({7935, 3});
        data.rawListEntries.push_back({7934, -4});
        test_support::ViewerShare share(data);
        std::string raw(3, '\0');
        codec::pack("K", raw, share.written.ticketRecords[1], 1);
        share.patchRecord("INVOL", share.written.ticketRecords[1], 110, raw);     // a page loop
        share.patchRecord("INVOL", share.written.ticketRecords[2], 115, "\xFA");  // page 250
        test_support::RecordingServices quiet;
        std::vector<std::string> all;
        for (const auto& u : data.units)
            all.push_back(u.unitNumber);
        auto taken = AllocatedUnits::collect(*share.store).holdEach(all);
        EXPECT_GT(std::count(taken.begin(), taken.end(), true), 20);  // sales do hold units
        EXPECT_FALSE(quiet.events.empty());                           // the damage was met
        ModelTreeData tree = ModelTree(*share.store).loadtree(false);
        for (const auto& line : tree.lines)
            for (const auto& model : line.models) {
                auto [code, name] = splitTag(model.tag);
                SCOPED_TRACE(model.tag);
                EXPECT_EQ(LoadUnits(*share.store, code, name).rows,
                          LoadUnits(*share.store, code, name, AllocationCheck::PerUnit).rows);
            }
    }
}

// Megabytes of sale texts: the one pass still agrees with the unit-by-unit check, and finds a
// unit number the very last sale holds.
TEST(UnitList, OnePassAgreesOverManySales) {
    demo::DealerData data = demo::generateDemo(
        {.units = 400, .models = 4, .tickets = 5000, .listed = 1, .today = demo::kFixedDay});
    data.listedInvoices.back().pages.back().push_back(demo::LineEntrySpec::remark("ZLAST1"));
    test_support::ViewerShare share(data);
    std::size_t textBytes = 0;
    forEachSaleInProgress(*share.store, [&](std::int32_t record) {
        for (const auto& line : share.store->invoiceLines(record))
            for (const auto& element : line)
                textBytes += element.size();
        return false;
    });
    ASSERT_GT(textBytes, 2u << 20);
    std::vector<std::string> sample = {"ZLAST1", "ZNONE1"};
    for (std::size_t i = 0; i < data.units.size(); i += 25)
        sample.push_back(data.units[i].unitNumber);
    std::vector<bool> each;
    for (const auto& unit : sample)
        each.push_back(isUnitallocated(*share.store, "", "", unit));
    ASSERT_TRUE(each[0]);
    EXPECT_EQ(AllocatedUnits::collect(*share.store).holdEach(sample), each);
}

// Seven units of the model are read in index order, then the allocation pass: a cancel at any of
// those steps leaves an empty list.
class UnitListCancel : public ::testing::TestWithParam<int> {};

TEST_P(UnitListCancel, ListsNothing) {
    test_support::ViewerShare share(listData());
    std::vector<std::string> steps;
    WorkProgress progress([&](const ProgressStep& step) {
        steps.push_back(step.text);
        if (static_cast<int>(steps.size()) == GetParam()) progress.cancel();
    });
    UnitList list =
        LoadUnits(*share.store, "CTR", "CT100 HST", AllocationCheck::OncePerList, &progress);
    EXPECT_EQ(list.cancelled, GetParam() != 0);
    const std::vector<std::string> listed{"C1", "C5"};
    EXPECT_EQ(unitNumbers(list), GetParam() ? std::vector<std::string>{} : listed);
    if (!GetParam()) {
        EXPECT_EQ(steps, (std::vector<std::string>{"12", "C1", "C2", "C3", "C5", "C6", "C7", ""}));
    }
}

INSTANTIATE_TEST_SUITE_P(Steps, UnitListCancel, ::testing::Values(1, 5, 8, 0));

TEST(Allocation, SubstringOfAnyOfTheFirstSixTexts) {
    test_support::ViewerShare share(listData());
    auto& store = *share.store;
    EXPECT_TRUE(isUnitallocated(store, "CTR", "", "12      "));
    EXPECT_TRUE(isUnitallocated(store, "", "", "C7"));
    EXPECT_TRUE(isUnitallocated(store, "", "", "C6"));
    EXPECT_TRUE(isUnitallocated(store, "", "", "A12"));
    EXPECT_FALSE(isUnitallocated(store, "", "", "c6"));
    EXPECT_FALSE(isUnitallocated(store, "", "", "C1"));
    AllocatedUnits once = AllocatedUnits::collect(store);
    EXPECT_EQ(once.holdEach({"12", "C7", "C6", "A12", "c6", "C1", ""}),
              (std::vector<bool>{true, true, true, true, false, false, true}));
}

// Work beside a list that the list drops unfinished (a cancel, a model with no units left) reads
// ahead nothing after the read in flight.
TEST(Beside, DroppedUnfinishedReadsAheadNoMore) {
    test_support::ViewerShare share(listData(), true,
                                    {.maxGap = 1, .maxRead = 1, .inFlight = 1, .wholeFile = 0});
    auto action = share.store->action();
    const std::string units = share.loggedPath("UNIT.DB");
    std::atomic<bool> reading{false}, dropped{false};
    std::atomic<int> reads{0};
    share.log->onRead = [&](const test_support::LoggedRead& read) {
        if (read.path != units || reads++ > 0) return;
        reading = true;
        while (!dropped)
            std::this_thread::yield();
    };
    auto work = share.store->beside({"UNITL"}, {}, [&] {
        share.store->readAhead("UNITL", {1, 2, 3, 4, 5, 6, 7, 8});
    });
    ASSERT_TRUE(work);
    for (int i = 0; i < 5000 && !reading; ++i)
        std::this_thread::sleep_for(milliseconds(1));
    EXPECT_TRUE(reading);
    work->abandon();
    dropped = true;
    work.reset();
    EXPECT_EQ(reads.load(), 1);
}

}  // namespace
}  // namespace fennick::core
