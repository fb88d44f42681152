// The stock ageing in one pass gives exactly what listing every model one by one gives, as JSON,
// text and CSV, on a generated share intact and with damage that changes which units a model's
// list shows or what they cost.

#include <gtest/gtest.h>

#include <functional>

#include "cli/output.h"
#include "core/list_csv.h"
#include "core/model_tree.h"
#include "core/stock_ageing.h"
#include "records/units.h"
#include "viewer_share.h"

namespace fennick::core {
namespace {

using test_support::ViewerShare;

constexpr std::int32_t kLedgerLink = 61;   // the link field of a sub-ledger posting
constexpr std::int32_t kLineAndModel = 3;  // line (2 bytes) and model (14 bytes) of a unit record
constexpr std::size_t kLineAndModelBytes = 16;

std::string link(std::int32_t record) {
    std::string bytes(4, '\0');
    codec::pack("L", bytes, record, 1);
    return bytes;
}

std::int32_t unitRecord(const ViewerShare& share, std::size_t unit) {
    return share.written.unitRecords.at(unit);
}

std::int32_t ledgerHead(ViewerShare& share, std::size_t unit) {
    return share.store->read<clsUnits>("UNITL", unitRecord(share, unit)).SubLedgerChain;
}

// The unit record of `unit` takes the line and model of unit `from`: its key and its record
// disagree, and in the middle of its model's run it splits the run into two tree nodes.
void moveUnit(ViewerShare& share, std::size_t unit, std::size_t from) {
    std::string source = share.store->recordBytes("UNITL", unitRecord(share, from));
    share.patchRecord("UNITL", unitRecord(share, unit), kLineAndModel,
                      source.substr(kLineAndModel - 1, kLineAndModelBytes));
}

using Damage = std::function<void(ViewerShare&)>;

// The generated share's unsold units whose sub-ledger has two postings or more: the first
// (`which` 0), the second...
std::size_t unitWithTwoPostings(const demo::DealerData& data, std::size_t which) {
    for (std::size_t u = 0; u < data.units.size(); ++u)
        if (data.units[u].ledgerCents.size() >= 2 && data.units[u].sold == codec::kEmptyDate &&
            data.units[u].soldInvoice == 0 && which-- == 0)
            return u;
    return 0;
}

struct AgeingCase {
    const char* name;
    std::vector<std::string> heldUnits;  // named by an extra open ticket
    std::vector<Damage> damage;
};

const demo::DealerData& generated() {
    static const demo::DealerData data = [] {
        demo::DemoOptions options;
        options.units = 900;
        options.models = 12;
        options.tickets = 15;
        options.listed = 20;
        options.today = demo::kFixedDay;
        return demo::generateDemo(options);
    }();
    return data;
}

const Damage cutChain = [](ViewerShare& s) {
    s.patchRecord("LUNITL", ledgerHead(s, unitWithTwoPostings(generated(), 0)), kLedgerLink,
                  link(9999999));
};
const Damage loopedChain = [](ViewerShare& s) {
    std::int32_t head = ledgerHead(s, unitWithTwoPostings(generated(), 5));
    if (head > 0) s.patchRecord("LUNITL", head, kLedgerLink, link(head));
};
const Damage recordDisagrees = [](ViewerShare& s) { moveUnit(s, 40, 500); };
const Damage otherLine = [](ViewerShare& s) { moveUnit(s, 700, 3); };
const Damage sharedLedger = [](ViewerShare& s) {
    s.patchRecord("UNITL", unitRecord(s, 10), 505, link(ledgerHead(s, 11)));
};

class OnePass : public ::testing::TestWithParam<AgeingCase> {};

TEST_P(OnePass, AnswersAsEveryModelListedOneByOne) {
    test_support::RecordingServices services;
    demo::DealerData data = generated();
    for (const std::string& unit : GetParam().heldUnits)
        data.openTickets.push_back(test_support::invoiceNaming({{unit}}));
    ViewerShare share(data);
    for (const Damage& damage : GetParam().damage)
        damage(share);
    StockAgeing byModel = stockAgeingByModel(*share.store);
    StockAgeing one = stockAgeing(*share.store);
    ASSERT_FALSE(byModel.rows.empty());
    EXPECT_EQ(cli::ageingJson(one), cli::ageingJson(byModel));
    EXPECT_EQ(cli::ageingText(one), cli::ageingText(byModel));
    EXPECT_EQ(ageingCsv(one), ageingCsv(byModel));
    // The damage reaches the answer.
    static const std::string intact =
        ageingCsv(stockAgeingByModel(*ViewerShare(generated()).store));
    EXPECT_EQ(ageingCsv(one) == intact, GetParam().damage.empty() && GetParam().heldUnits.empty());
}

const std::vector<std::string> kHeld = {generated().units[5].unitNumber,
                                        generated().units[300].unitNumber};

INSTANTIATE_TEST_SUITE_P(
    Shares, OnePass,
    ::testing::Values(
        AgeingCase{"intact", {}, {}}, AgeingCase{"held", kHeld, {}},
        AgeingCase{"cutChain", {}, {cutChain}}, AgeingCase{"loopedChain", {}, {loopedChain}},
        AgeingCase{"recordDisagreesWithKey", {}, {recordDisagrees}},
        AgeingCase{"recordOfAnotherLine", {}, {otherLine}},
        AgeingCase{"sharedLedger", {}, {sharedLedger}},
        AgeingCase{
            "all", kHeld, {cutChain, loopedChain, recordDisagrees, otherLine, sharedLedger}}),
    [](const auto& info) { return std::string(info.param.name); });

// Cancelled in the tree, in the models or before the chains: nothing to show; the steps of the
// models count the units read of all the tree's units.
TEST(OnePassProgress, CountsUnitsReadOfAll) {
    ViewerShare share(generated());
    std::vector<ProgressStep> steps;
    WorkProgress progress([&](const ProgressStep& step) { steps.push_back(step); });
    StockAgeing ageing = stockAgeing(*share.store, &progress);
    ASSERT_FALSE(ageing.cancelled);
    const auto all =
        static_cast<std::int64_t>(ModelTree(*share.store).loadtree(false).directory.size());
    EXPECT_EQ(steps.back().done, all);
    EXPECT_EQ(steps.back().total, all);
    std::int64_t before = 0;
    for (const ProgressStep& step : steps) {
        if (step.total == 0) continue;
        EXPECT_LE(before, step.done);
        before = step.done;
    }
    for (std::size_t at : {std::size_t{1}, steps.size() / 2, steps.size() - 1}) {
        std::size_t seen = 0;
        WorkProgress cancelling([&](const ProgressStep&) {
            if (++seen == at + 1) cancelling.cancel();
        });
        StockAgeing cancelled = stockAgeing(*share.store, &cancelling);
        EXPECT_TRUE(cancelled.cancelled && cancelled.rows.empty()) << "step " << at;
    }
}

}  // namespace
}  // namespace fennick::core
