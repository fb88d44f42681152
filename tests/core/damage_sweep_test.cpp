// Damage beyond the hand-made cases. A sweep flips bytes of the index blocks and of a chain
// file one at a time (the way a storage engine's corruption test does) and requires every walk
// to end with a bounded number of reads; a writer thread changes the share while the tree is
// built and units are listed, as the dealer system does while the viewer reads.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/model_tree.h"
#include "core/unit_detail.h"
#include "core/unit_list.h"
#include "viewer_share.h"

namespace fennick::core {
namespace {

// A few lines, models and units with notes and postings, and open tickets.
demo::DealerData smallShare() {
    demo::DealerData d;
    d.lines = {test_support::unitLine(), test_support::unitLine(2, "LDR", "LOADERS")};
    const char* models[] = {"CT100 HST", "CT200", "CT300"};
    for (int i = 0; i < 12; ++i) {
        demo::UnitSpec u = test_support::unitOf(models[i % 3], "C" + std::to_string(i), 1 + i / 9);
        u.ledgerCents = {1000, 2000, 3000};
        u.notes = {{1, "", 0, u.received, "Arrived"}, {2, "CAB", 1, u.received, "Cab", 1, 2}};
        d.units.push_back(u);
    }
    d.openTickets = {test_support::invoiceNaming({{"P1"}, {"C4"}})};
    return d;
}

// The tree, the list of each model in it and the first unit's details; failures that reach
// the window are its message. Answers the number of reads it made.
std::int64_t readEverything(test_support::ViewerShare& share) {
    auto& memory = share.log->memory;
    auto before = memory.counters().reads;
    try {
        auto tree = ModelTree(*share.store).loadtree(false);
        for (const auto& line : tree.lines)
            for (const auto& model : line.models) {
                auto [code, number] = splitTag(model.tag);
                UnitList list = LoadUnits(*share.store, code, number);
                for (const auto& row : list.rows)
                    EXPECT_EQ(unitCells(row).size(), kUnitColumns);
                if (!list.rows.empty()) selectUnit(*share.store, list.rows.front());
            }
    } catch (const EngineError&) {
    }
    return memory.counters().reads - before;
}

// Byte ranges of the share that the sweep damages: every block of three indexes and every
// record of the sub-ledger file.
struct Range {
    std::string path;
    std::int64_t from, to;
};

std::vector<Range> sweptRanges(cBusinessBasic& engine) {
    std::vector<Range> out;
    for (const std::string name : {"MUNITI", "LINEI", "TICKI", "LUNITL"}) {
        auto file = engine.LogicalOpen(name);
        std::int64_t length = file->OpenFile->handle->length();
        std::int64_t from = std::int64_t(file->Position) * 512;
        std::int64_t size = file->FileType == "I"
                                ? std::int64_t(file->LastRecord + 1) * 512
                                : std::int64_t(file->LastRecord + 1) * file->RecordLength;
        out.push_back({file->OpenFile->Path, from, std::min(length, from + size)});
    }
    return out;
}

TEST(CorruptionSweep, EveryWalkEndsAfterAnyFlippedByte) {
    test_support::RecordingServices services;
    test_support::ViewerShare share(smallShare(), false);
    const std::int64_t whole = readEverything(share);
    ASSERT_GT(whole, 0);
    ASSERT_TRUE(services.boxes.empty());
    // A damaged walk may read more than an intact one, never without end: every record and
    // index block once per model listed is far above what any of them needs.
    const std::int64_t bound = 50 * whole;
    constexpr std::int64_t kStep = 3;  // every third byte keeps the sweep well under a minute
    std::int64_t cases = 0;
    for (const auto& range : sweptRanges(*share.engine)) {
        auto file = share.log->memory.open(range.path, platform::Access::ReadWrite);
        for (std::int64_t at = range.from; at < range.to; at += kStep, ++cases) {
            char original = 0;
            file->readAt(at, &original, 1);
            char flipped = static_cast<char>(~original);
            file->writeAt(at, &flipped, 1);
            std::int64_t reads = readEverything(share);
            file->writeAt(at, &original, 1);
            ASSERT_LE(reads, bound) << range.path << " byte " << at;
        }
    }
    EXPECT_GT(cases, 500);
}

TEST(LiveWriter, ReadingWhileTheShareChanges) {
    test_support::RecordingServices services;
    test_support::ViewerShare share(smallShare(), false);
    auto ranges = sweptRanges(*share.engine);
    const Range& index = ranges[0];  // MUNITI
    const std::string units = share.engine->LogicalOpen("UNITL")->OpenFile->Path;
    const std::string ledger = ranges[3].path;
    auto& memory = share.log->memory;
    const std::string pristineIndex = memory.contents(index.path)
                                          ->substr(static_cast<std::size_t>(index.from),
                                                   static_cast<std::size_t>(index.to - index.from));
    const std::size_t ledgerLength = memory.contents(ledger)->size();
    auto indexFile = memory.open(index.path, platform::Access::ReadWrite);
    auto unitFile = memory.open(units, platform::Access::ReadWrite);

    const std::string record = share.engine->LreadFile("UNITL", 1);
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (std::uint32_t round = 0; !done; ++round) {
            // A unit record appended, as a new unit is received.
            unitFile->writeAt(unitFile->length(), record.data(), record.size());
            // An index block rewritten in place: another block's image, then the original.
            std::int64_t blocks = (index.to - index.from) / 512;
            std::int64_t to =
                index.from + 512 * (1 + round % std::max<std::int64_t>(blocks - 1, 1));
            std::string image = pristineIndex.substr(512 * (round % blocks), 512);
            indexFile->writeAt(to, image.data(), image.size());
            std::this_thread::yield();
            indexFile->writeAt(index.from, pristineIndex.data(), pristineIndex.size());
            // The sub-ledger cut short and grown back.
            memory.resize(ledger, ledgerLength / 2 + round % 700);
            std::this_thread::yield();
            memory.resize(ledger, ledgerLength);
        }
    });
    for (int pass = 0; pass < 40; ++pass)
        readEverything(share);
    done = true;
    writer.join();
    indexFile->writeAt(index.from, pristineIndex.data(), pristineIndex.size());
    services.boxes.clear();
    EXPECT_GT(readEverything(share), 0);
    EXPECT_TRUE(services.boxes.empty()) << "the share reads whole once the writer has stopped";
}

}  // namespace
}  // namespace fennick::core
