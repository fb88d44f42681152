// Finding a unit and the stock ageing, checked against figures the test works out from the
// share it writes: which units are unsold, their days in stock, and their money in cents.

#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "core/csv.h"
#include "core/model_tree.h"
#include "core/stock_ageing.h"
#include "core/unit_list.h"
#include "core/unit_search.h"
#include "viewer_share.h"

namespace fennick::core {
namespace {

using namespace std::chrono;

const sys_days kToday = year{2025} / 7 / 1;  // the test engine's clock

struct Stock {
    std::int32_t line;
    std::string model, unit, serial;
    int daysAgo;  // received this many days before today; negative: a date still to come
    std::vector<std::int64_t> ledgerCents;
    std::int64_t listCents;
    bool sold;
    bool held = false;  // named by an open ticket

    bool listed() const { return !sold && !held; }
};

// Line 1 CTR and line 2 MWR. CT200 and M60 have only sold units; serial AB123 is in both lines;
// unit k9low keeps its lower case; ledgers hold negative postings; an open ticket holds M3.
const std::vector<Stock>& stock() {
    static const std::vector<Stock> units = {
        {1, "CT100", "C1", "AB123", 0, {1200000, -2500}, 1500000, false},
        {1, "CT100", "C2", "XY77", 40, {900000}, 990000, true},
        {1, "CT100", "C3", "S3", 90, {-50000}, 0, false},
        {1, "CT100", "k9low", "S4", 91, {100, 2}, 200, false},
        {1, "CT100", "C5", "S5", -3, {}, 700, false},
        {1, "CT200", "C8", "S8", 10, {5000}, 6000, true},
        {1, "CT300", "C10", "S10", 180, {1}, 1, false},
        {1, "CT300", "C11", "S11", 181, {-99}, 5, false},
        {1, "CT300", "C12", "S12", 365, {250000}, 300000, false},
        {2, "M50", "M1", "AB1234", 366, {77700, -700}, 88800, false},
        {2, "M50", "M2", "ZZ9", 730, {12345}, 0, false},
        {2, "M50", "M3", "ZZ8", 731, {-1}, -2, false, true},
        {2, "M50", "M4", "ZZ7", 4000, {10000000}, 12000000, false},
        {2, "M60", "M9", "ZZ6", 5, {100}, 100, true},
    };
    return units;
}

demo::DealerData stockData() {
    demo::DealerData d;
    d.lines = {test_support::unitLine(), test_support::unitLine(2, "MWR", "MOWERS")};
    for (const Stock& s : stock()) {
        demo::UnitSpec u = test_support::unitOf(s.model, s.unit, s.line);
        u.serial = s.serial;
        u.received = kToday - days(s.daysAgo);
        u.ledgerCents = s.ledgerCents;
        u.dealerListCents = s.listCents;
        if (s.sold) u.sold = kToday - days(1);
        d.units.push_back(u);
        if (s.held) d.openTickets.push_back(test_support::invoiceNaming({{s.unit}}));
    }
    return d;
}

const char* lineCode(std::int32_t line) {
    return line == 1 ? "CTR" : "MWR";
}

class FindAndAgeing : public ::testing::Test {
  protected:
    test_support::RecordingServices services;
    test_support::ViewerShare share{stockData()};
    ModelTreeData tree = ModelTree(*share.store).loadtree(true);
};

struct Search {
    std::string text;
    std::vector<std::string> units;  // the units the test's stock holds, in order
};

class UnitSearch : public FindAndAgeing, public ::testing::WithParamInterface<Search> {};

TEST_P(UnitSearch, MatchesUnitOrSerialNumberIgnoringCase) {
    auto matches = findUnits(*share.store, tree.directory, GetParam().text);
    std::vector<std::string> found;
    for (const auto& m : matches) {
        found.push_back(m.unit);
        auto s = std::find_if(stock().begin(), stock().end(),
                              [&](const Stock& s) { return s.unit == m.unit; });
        ASSERT_NE(s, stock().end());
        EXPECT_EQ(std::make_tuple(m.serial, m.code, m.model, m.listed),
                  std::make_tuple(s->serial, std::string(lineCode(s->line)), s->model, s->listed()))
            << m.unit;
        if (m.listed) {
            EXPECT_TRUE(findTag(tree, m.modelTag)) << m.modelTag;
        }
    }
    EXPECT_EQ(found, GetParam().units);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, UnitSearch,
    ::testing::Values(Search{"ab123", {"C1", "M1"}},  // a serial in two lines
                      Search{" c1 ", {"C1", "C10", "C11", "C12"}},
                      Search{"K9L", {"k9low"}},  // a unit number kept in lower case
                      Search{"xy7", {"C2"}},     // sold: found, not listed
                      Search{"C8", {"C8"}},      // the only unit of its model, sold
                      Search{"zz", {"M2", "M3", "M4", "M9"}}, Search{"nothing", {}},
                      Search{"  ", {}}));

TEST_F(FindAndAgeing, DirectoryHoldsEveryUnitOnceWhateverTheFilter) {
    EXPECT_EQ(tree.directory.size(), stock().size());
    EXPECT_EQ(ModelTree(*share.store).loadtree(false).directory.size(), stock().size());
}

// After the tree is built a search reads nothing for no match, and for matches in two models
// less than listing the two models one after the other: the sales are read once.
TEST_F(FindAndAgeing, SearchAfterTheTreeReadsOnlyTheListsItNeeds) {
    auto readsOf = [&](const std::function<void()>& action) {
        share.clearReadLog();
        action();
        return share.log->sequence.size();
    };
    EXPECT_EQ(readsOf([&] { findUnits(*share.store, tree.directory, "nothing"); }), 0u);
    auto search = readsOf([&] { findUnits(*share.store, tree.directory, "zz"); });
    auto lists = readsOf([&] { LoadUnits(*share.store, "MWR", "M50"); }) +
                 readsOf([&] { LoadUnits(*share.store, "MWR", "M60"); });
    EXPECT_GT(search, 0u);
    EXPECT_LT(search, lists);
}

// A cancel ends the search before the model it would list next; the matches before it stay.
TEST_F(FindAndAgeing, CancelledSearchKeepsTheMatchesWorkedOut) {
    const std::vector<std::pair<int, std::vector<std::string>>> cases = {
        {1, {}}, {2, {"C1"}}, {3, {"C1", "M1"}}};
    for (const auto& [cancelAt, units] : cases) {
        int steps = 0;
        WorkProgress* self = nullptr;
        WorkProgress progress([&](const ProgressStep&) {
            if (++steps == cancelAt) self->cancel();
        });
        self = &progress;
        std::vector<std::string> found;
        for (const auto& m : findUnits(*share.store, tree.directory, "ab123", SIZE_MAX, &progress))
            found.push_back(m.unit);
        EXPECT_EQ(found, units) << "cancelled at step " << cancelAt;
    }
}

TEST(AgeBucket, BoundsBelongToTheYoungerBucket) {
    const std::vector<std::pair<std::int64_t, std::size_t>> cases = {
        {-400, 0}, {0, 0},   {90, 0},  {91, 1},  {180, 1},  {181, 2},
        {365, 2},  {366, 3}, {730, 3}, {731, 4}, {99999, 4}};
    for (auto [days, bucket] : cases)
        EXPECT_EQ(ageBucket(days), bucket) << days;
}

std::string centsText(std::int64_t cents) {
    std::string sign = cents < 0 ? "-" : "";
    cents = std::abs(cents);
    std::string hundredths = std::to_string(cents % 100);
    return sign + std::to_string(cents / 100) + "." + std::string(2 - hundredths.size(), '0') +
           hundredths;
}

struct Expected {
    std::array<std::int64_t, kAgeBuckets> count{}, cost{}, list{};
};

// The test's own count: unsold units by model, bucketed by its own bounds.
std::map<std::pair<std::string, std::string>, Expected> expectedAgeing(Expected& total) {
    std::map<std::pair<std::string, std::string>, Expected> out;
    for (const Stock& s : stock()) {
        if (!s.listed()) continue;
        std::size_t b = s.daysAgo <= 90    ? 0
                        : s.daysAgo <= 180 ? 1
                        : s.daysAgo <= 365 ? 2
                        : s.daysAgo <= 730 ? 3
                                           : 4;
        std::int64_t cost = 0;
        for (auto c : s.ledgerCents)
            cost += c;
        for (Expected* e : {&out[{lineCode(s.line), s.model}], &total}) {
            e->count[b] += 1;
            e->cost[b] += cost;
            e->list[b] += s.listCents;
        }
    }
    return out;
}

void expectFigures(const AgeingFigures& f, const Expected& e, const std::string& what) {
    for (std::size_t b = 0; b < kAgeBuckets; ++b) {
        EXPECT_EQ(f.count[b], e.count[b]) << what << " bucket " << b;
        EXPECT_EQ(ageingMoney(f.cost[b]), centsText(e.cost[b])) << what << " bucket " << b;
        EXPECT_EQ(ageingMoney(f.list[b]), centsText(e.list[b])) << what << " bucket " << b;
    }
}

TEST_F(FindAndAgeing, AgeingCountsAndSumsEveryListedUnitInTreeOrder) {
    Expected total;
    auto expected = expectedAgeing(total);
    StockAgeing ageing = stockAgeing(*share.store);
    std::vector<std::string> order;
    for (const AgeingRow& row : ageing.rows) {
        order.push_back(row.code + " " + row.model);
        expectFigures(row.figures, expected[{row.code, row.model}], order.back());
    }
    EXPECT_EQ(order, (std::vector<std::string>{"CTR CT100", "CTR CT300", "MWR M50"}));
    expectFigures(ageing.total, total, "total");

    auto table = ageingTable(ageing);
    ASSERT_EQ(table.size(), ageing.rows.size() + 2);
    EXPECT_EQ(table[0][2] + "|" + table[0][7] + "|" + table[0][16], "0-90|Cost 0-90|List 731+");
    EXPECT_EQ(table.back()[0] + "|" + table.back()[2] + "|" + table.back()[16],
              "Total|" + std::to_string(total.count[0]) + "|" + centsText(total.list[4]));
}

// Cancelled while the tree is built or while the models are listed: nothing is shown.
TEST_F(FindAndAgeing, CancelledAgeingShowsNothing) {
    for (std::string at : {"MOWERS", "CTR CT300"}) {
        WorkProgress progress([&](const ProgressStep& step) {
            if (codec::trun(step.text) == at) progress.cancel();
        });
        StockAgeing ageing = stockAgeing(*share.store, &progress);
        EXPECT_TRUE(ageing.cancelled) << at;
        EXPECT_TRUE(ageing.rows.empty() && ageing.total.count[0] == 0) << at;
    }
}

// The demo share dated from the engine's today spreads its stock over every age bucket.
TEST(DemoShare, StockSpreadsOverEveryAgeBucket) {
    demo::DemoOptions options;
    options.units = 300;
    options.models = 6;
    options.today = kToday;
    test_support::ViewerShare share(demo::generateDemo(options));
    StockAgeing ageing = stockAgeing(*share.store);
    for (std::size_t bucket = 0; bucket < kAgeBuckets; ++bucket)
        EXPECT_GT(ageing.total.count[bucket], 10) << kAgeBucketNames[bucket];
}

TEST(Csv, QuotesOnlyWhatNeedsIt) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"a", "b c"}, "a,b c\r\n"},
        {{"a,b"}, "\"a,b\"\r\n"},
        {{"say \"hi\""}, "\"say \"\"hi\"\"\"\r\n"},
        {{"two\nlines", "cr\r"}, "twolines,cr\r\n"},
        {{"", ""}, ",\r\n"},
    };
    for (const auto& [fields, text] : cases)
        EXPECT_EQ(csvRecord(fields), text);
    EXPECT_EQ(csvTable({{"h"}, {"1"}}), "h\r\n1\r\n");
}

// A spreadsheet runs a cell that starts like a formula; the dealer's text never does.
class SpreadsheetCell : public ::testing::TestWithParam<std::pair<std::string, std::string>> {};

TEST_P(SpreadsheetCell, IsTextOrAPlainNumber) {
    EXPECT_EQ(spreadsheetCell(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Csv, SpreadsheetCell,
                         ::testing::Values(std::pair{"-1200.00", "-1200.00"}, std::pair{"-7", "-7"},
                                           std::pair{"1525.00", "1525.00"}, std::pair{"", ""},
                                           std::pair{"=cmd|' /C calc'!A0", "'=cmd|' /C calc'!A0"},
                                           std::pair{"+1+1", "'+1+1"}, std::pair{"-1+1", "'-1+1"},
                                           std::pair{"-", "'-"}, std::pair{"-.5", "'-.5"},
                                           std::pair{"-1.", "'-1."},
                                           std::pair{"@SUM(A1)", "'@SUM(A1)"},
                                           std::pair{"\t=1", "'\t=1"}, std::pair{"\r=1", "'=1"},
                                           std::pair{"\x01=1", "'=1"}, std::pair{"a=b", "a=b"},
                                           std::pair{"R\x1B[2J\a\xC2\x81x\ty", "R[2Jx\ty"},
                                           std::pair{"Br\xC3\xA4"
                                                     "ckwater",
                                                     "Br\xC3\xA4"
                                                     "ckwater"}));

}  // namespace
}  // namespace fennick::core
