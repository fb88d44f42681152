// The batched read path against the record-by-record one: on generated shares, intact and
// damaged in the ways a dealer's files get damaged, both must build the same trees, list the same
// units and show the same details, with the same messages; and the batched path must actually
// save the reads it exists for.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <sstream>

#include "core/allocation.h"
#include "core/failure_text.h"
#include "core/model_tree.h"
#include "core/startup.h"
#include "core/unit_detail.h"
#include "engine/engine_writer.h"
#include "engine/index_node.h"
#include "store/open_store.h"
#include "viewer_share.h"

namespace fennick::core {
namespace {

using test_support::ViewerShare;

demo::DealerData generated() {
    demo::DemoOptions options;
    options.today = demo::kFixedDay;
    options.units = 300;
    options.models = 10;
    options.tickets = 15;
    options.listed = 25;
    return demo::generateDemo(options);
}

// Where record `record` of a logical file lies in its data file.
struct Place {
    std::shared_ptr<cOpenFile> file;  // opened by the damaging engine
    std::string path;
    std::int64_t offset;
    std::int32_t length;
};
Place placeOf(ViewerShare& share, const std::string& logical, std::int32_t record) {
    auto file = share.damager->LogicalOpen(logical);
    bool index = file->FileType == "I";
    std::int32_t length = index ? 512 : file->RecordLength;
    std::int64_t offset = std::int64_t(file->Position) * 512 + std::int64_t(record) * length;
    return {file->OpenFile, file->OpenFile->Path, offset, length};
}

void patch(ViewerShare& share, const Place& at, std::int32_t position, const std::string& bytes) {
    EngineWriter(*share.damager)
        .WriteFile(at.file, bytes, static_cast<std::int32_t>(at.offset + position - 1));
}

std::string packed(const char* op, std::int32_t value, std::size_t width) {
    std::string bytes(width, '\0');
    codec::pack(op, bytes, value, 1);
    return bytes;
}

// The leaves of MUNITI in block order (the order the index writer lays them out in).
std::vector<std::int32_t> unitIndexLeaves(ViewerShare& share) {
    auto file = share.damager->LogicalOpen("MUNITI");
    std::vector<std::int32_t> leaves;
    for (std::int32_t b = 1; b <= file->LastRecord; ++b) {
        std::string image =
            share.damager->ReadFile(file->OpenFile, 512, (file->Position + b) * 512);
        IndexNode node(image, 26);
        if (node.valid() && node.leaf() && node.count() > 0) leaves.push_back(b);
    }
    return leaves;
}

void cut(ViewerShare& share, const Place& at) {
    std::string bytes = *share.log->memory.contents(at.path);
    share.log->memory.setFile(at.path, bytes.substr(0, static_cast<std::size_t>(at.offset + 7)));
    share.reopen();
}

void unreadable(ViewerShare& share, const Place& at) {
    share.log->memory.setUnreadable(at.path, at.offset, at.length);
}

struct Damage {
    const char* name;
    std::function<void(ViewerShare&)> apply;
};

void PrintTo(const Damage& damage, std::ostream* out) {
    *out << damage.name;
}

// Unit i is UNITL record i + 1; units of model m are i = m, m + 10, ... (model 9 is archived).
const Damage kDamage[] = {
    {"unit of another line than its key",
     [](ViewerShare& s) { patch(s, placeOf(s, "UNITL", 61), 3, packed("C", 2, 2)); }},
    {"unit of another model than its key",
     [](ViewerShare& s) {
         std::string model = s.damager->LreadFile("UNITL", 42).substr(4, 12);
         patch(s, placeOf(s, "UNITL", 71), 5, model);
     }},
    {"unit without a number",
     [](ViewerShare& s) { patch(s, placeOf(s, "UNITL", 1), 20, "        "); }},
    {"leaf chain loops",
     [](ViewerShare& s) {
         auto leaves = unitIndexLeaves(s);
         patch(s, placeOf(s, "MUNITI", leaves.at(4)), 3, packed("C", leaves.at(1), 2));
     }},
    {"index entry beyond UNITL",
     [](ViewerShare& s) {
         auto leaves = unitIndexLeaves(s);
         patch(s, placeOf(s, "MUNITI", leaves.at(2)), 5 + 3 * 26 + 22, packed("L", 99999, 4));
     }},
    {"data file cut inside UNITL", [](ViewerShare& s) { cut(s, placeOf(s, "UNITL", 150)); }},
    {"data file cut inside LUNITL", [](ViewerShare& s) { cut(s, placeOf(s, "LUNITL", 200)); }},
    {"unreadable unit record", [](ViewerShare& s) { unreadable(s, placeOf(s, "UNITL", 121)); }},
    {"unreadable index leaf",
     [](ViewerShare& s) { unreadable(s, placeOf(s, "MUNITI", unitIndexLeaves(s).at(3))); }},
    {"unreadable sub-ledger posting",
     [](ViewerShare& s) { unreadable(s, placeOf(s, "LUNITL", 12)); }},
    {"unreadable note", [](ViewerShare& s) { unreadable(s, placeOf(s, "UNOTEL", 33)); }},
    {"unreadable invoice page",
     [](ViewerShare& s) { unreadable(s, placeOf(s, "INVOL", s.written.ticketRecords.at(3))); }},
    {"sub-ledger chain loops",
     [](ViewerShare& s) { patch(s, placeOf(s, "LUNITL", 12), 61, packed("L", 11, 4)); }},
    {"invoice page chain loops",
     [](ViewerShare& s) {
         std::int32_t page = s.written.ticketRecords.at(5);
         patch(s, placeOf(s, "INVOL", page), 110, packed("K", page, 3));
     }},
};

// Everything the viewer shows from the share: both trees, the unit list of every model node and
// the detail of every listed unit, failures and messages included.
std::string everything(ViewerShare& share, bool batched) {
    share.store->cache()->setBatching(batched);
    test_support::RecordingServices seen;
    store::Store& store = *share.store;
    std::ostringstream out;
    auto failed = [&](const std::exception& e) { out << failureText(e, "") << "\n"; };
    ModelTreeData full;
    for (bool inStock : {false, true}) {
        ModelTreeData tree;
        try {
            tree = ModelTree(store).loadtree(inStock);
        } catch (const std::exception& e) {
            failed(e);  // a read the share failed ends the tree
        }
        for (const auto& line : tree.lines) {
            out << line.key << "|" << line.text << "|" << line.tag << "\n";
            for (const auto& model : line.models)
                out << "  " << model.text << "|" << model.tag << "\n";
        }
        if (!inStock) full = tree;
    }
    for (const auto& line : full.lines)
        for (const auto& model : line.models)
            try {
                auto [code, name] = splitTag(model.tag);
                UnitList list = LoadUnits(store, code, name);
                for (const auto& row : list.rows) {
                    for (const auto& cell : unitCells(row))
                        out << cell << "|";
                    out << "\n";
                    try {
                        UnitDetail d = selectUnit(store, row);
                        for (const auto& grid : {d.grids.factory, d.grids.dealer, d.grids.attached})
                            for (const auto& r : grid)
                                out << "  " << r[0] << "|" << r[1] << "|" << r[2] << "|" << r[3]
                                    << "\n";
                        for (const auto& n : d.grids.notes)
                            out << "  " << n << "\n";
                        for (const auto& p : d.problems)
                            out << "  " << p << "\n";
                    } catch (const std::exception& e) {
                        failed(e);
                    }
                }
                for (const auto& p : list.problems)
                    out << p << "\n";
            } catch (const std::exception& e) {
                failed(e);
            }
    for (const auto& box : seen.boxes)
        out << "box " << box << "\n";
    for (const auto& event : seen.events)
        out << "event " << event << "\n";
    return out.str();
}

class BatchedReads : public ::testing::TestWithParam<Damage> {};

TEST_P(BatchedReads, ShowWhatRecordByRecordReadsShow) {
    const demo::DealerData data = generated();
    std::string intact;
    {
        ViewerShare share(data);
        intact = everything(share, false);
    }
    ViewerShare share(data);
    GetParam().apply(share);
    std::string reference = everything(share, false);
    EXPECT_NE(reference, intact) << "the damage must change what is shown";
    EXPECT_EQ(everything(share, true), reference);
}

INSTANTIATE_TEST_SUITE_P(
    DamagedShares, BatchedReads, ::testing::ValuesIn(kDamage), [](const auto& info) {
        std::string name = info.param.name;
        std::replace_if(
            name.begin(), name.end(),
            [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
        return name;
    });

TEST(BatchedReads, IntactShareShowsTheSame) {
    ViewerShare share(generated());
    EXPECT_EQ(everything(share, true), everything(share, false));
}

// The reads that reached one data file, in the order made.
std::vector<test_support::LoggedRead> readsOf(ViewerShare& share, const std::string& dataFile) {
    std::vector<test_support::LoggedRead> reads;
    for (const auto& read : share.log->sequence)
        if (read.path == share.loggedPath(dataFile)) reads.push_back(read);
    return reads;
}

TEST(BatchedReads, SaveCallsAndReadNoByteTwice) {
    demo::DemoOptions options;
    options.today = demo::kFixedDay;
    options.units = 3000;
    options.models = 30;
    ViewerShare share(demo::generateDemo(options));
    share.clearReadLog();
    ModelTree(*share.store).loadtree(true);
    auto reads = readsOf(share, "UNIT.DB");
    std::sort(reads.begin(), reads.end(), [](auto& a, auto& b) { return a.offset < b.offset; });
    for (std::size_t i = 1; i < reads.size(); ++i)
        EXPECT_LE(reads[i - 1].offset + reads[i - 1].length, reads[i].offset);
    EXPECT_LT(reads.size(), 40u);

    UnitList list = LoadUnits(*share.store, "CTR", "CT100");
    ASSERT_FALSE(list.rows.empty());
    share.clearReadLog();
    UnitRow withNotes = *std::find_if(list.rows.begin(), list.rows.end(),
                                      [](const UnitRow& row) { return row.noteChain != 0; });
    selectUnit(*share.store, withNotes);
    EXPECT_EQ(share.log->sequence.size(), 1u);
}

// A unit to be shown next is read with its list: shown in the same action, its notes and the
// user-defined names cost no read of their own.
TEST(BatchedReads, TheUnitShownNextIsReadWithItsList) {
    ViewerShare share(generated());
    const UnitList plain = LoadUnits(*share.store, "CTR", "CT100");
    auto withNotes = std::find_if(plain.rows.begin(), plain.rows.end(),
                                  [](const UnitRow& row) { return row.noteChain != 0; });
    ASSERT_NE(withNotes, plain.rows.end());
    auto action = share.store->action();
    LoadUnits(*share.store, "CTR", "CT100", AllocationCheck::OncePerList, nullptr, withNotes->unit);
    share.clearReadLog();
    const UnitDetail detail = selectUnit(*share.store, *withNotes);
    readUserDefinedNames(*share.store);
    EXPECT_FALSE(detail.grids.notes.empty() && detail.grids.factory.empty() &&
                 detail.grids.dealer.empty() && detail.grids.attached.empty());
    EXPECT_TRUE(share.log->sequence.empty()) << share.log->sequence.size() << " reads";
}

// Where the share takes several reads at once, the invoice lists are asked for while the open
// tickets' index is walked: the first read of the tickets waits here for the lists' read, which
// never comes while the walk goes first.
TEST(BatchedReads, TheInvoiceListsAreReadWhileTheTicketsIndexIsWalked) {
    ViewerShare share(generated(), true, store::ReadPolicy{.inFlight = 4});
    std::mutex mutex;
    std::condition_variable listsAsked;
    bool lists = false, ticketsRead = false, listsCame = false;
    share.log->onRead = [&](const test_support::LoggedRead& read) {
        std::unique_lock lock(mutex);
        if (read.path == share.loggedPath("FILE0")) {
            lists = true;
            listsAsked.notify_all();
        } else if (read.path == share.loggedPath("INVO.DB") && !ticketsRead) {
            ticketsRead = true;
            listsCame = listsAsked.wait_for(lock, std::chrono::seconds(2), [&] { return lists; });
        }
    };
    auto action = share.store->action();
    AllocatedUnits::collect(*share.store);
    EXPECT_TRUE(listsCame);
}

}  // namespace
}  // namespace fennick::core
