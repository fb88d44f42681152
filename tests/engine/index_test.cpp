#include <gtest/gtest.h>

#include <cstdio>

#include "engine/engine_writer.h"
#include "support/test_share.h"

namespace fennick {
namespace {

using test_support::TestShare;

std::string key6(int n) {
    char text[8];
    std::snprintf(text, sizeof text, "K%05d", n);
    return text;
}

struct Walk {
    std::vector<std::string> keys;
    std::vector<std::int32_t> records;
};

class Index : public ::testing::Test {
  protected:
    // An index of key length 6 over `entries`, three entries a node (a 3-level tree for 10+ keys).
    cBusinessBasic& build(const std::vector<IndexEntry>& entries, bool duplicates = false,
                          std::int32_t perNode = 3) {
        share.writer.addDataFile("DEALER:IDX.DR", {{"IDX", "I", 512, 200}});
        share.writer.writeLinks();
        auto& bb = share.open();
        tools::writeIndex(bb, "IDX", 6, entries, duplicates, perNode);
        return bb;
    }
    static std::vector<IndexEntry> numbered(int count, int step = 2) {
        std::vector<IndexEntry> entries;
        for (int i = 1; i <= count; ++i)
            entries.push_back({key6(i * step), i});
        return entries;
    }
    Walk walkFrom(const std::string& start) {
        Walk walk;
        std::string buff, key = start;
        std::int32_t rec = 0;
        share.engine->KFind("IDX", buff, key, rec);
        while (rec != 0 && walk.keys.size() < 1000) {
            walk.keys.push_back(key);
            walk.records.push_back(std::abs(rec));
            share.engine->KNext("IDX", buff, key, rec);
        }
        return walk;
    }
    // Overwrites bytes of index block `block` at 1-based position `at`.
    void patchBlock(std::int32_t block, int at, const std::string& bytes) {
        auto idx = share.engine->LogicalOpen("IDX");
        EngineWriter(*share.engine)
            .WriteFile(idx->OpenFile, bytes, (idx->Position + block) * 512 + at - 1);
    }
    std::string u16(int v) { return std::string{char(v >> 8), char(v & 0xFF)}; }
    TestShare share;
    test_support::RecordingServices services;
};

TEST_F(Index, EmptyIndex) {
    share.writer.addDataFile("DEALER:IDX.DR", {{"IDX", "I", 512, 3}});
    share.writer.writeLinks();
    auto& bb = share.open();
    EngineWriter(bb).InitFile("IDX", 6, false, 100);
    std::string buff, key = "ANY";
    std::int32_t rec = 5;
    bb.KFind("IDX", buff, key, rec);
    EXPECT_EQ(rec, 0);
    EXPECT_EQ(key, std::string(6, '\xFF'));
    EXPECT_EQ(buff.size(), 544u) << "an empty work buffer is padded";
    EXPECT_EQ(bb.KCount("IDX"), 0);
    bb.KLast("IDX", buff, key, rec);
    EXPECT_EQ(rec, 0);
}

TEST_F(Index, WalksEveryKeyAcrossLeavesAndLevels) {
    auto entries = numbered(40);
    auto& bb = build(entries);
    auto walk = walkFrom("");
    ASSERT_EQ(walk.keys.size(), 40u);
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(walk.keys[i], entries[i].key);
        EXPECT_EQ(walk.records[i], entries[i].record);
    }
    EXPECT_EQ(bb.KCount("IDX"), 40);
    std::string buff, key;
    std::int32_t rec = 0;
    for (const auto& entry : entries) {
        key = entry.key;
        bb.KFind("IDX", buff, key, rec);
        EXPECT_EQ(rec, entry.record) << entry.key;
    }
    key = key6(7);  // between K000006 and K000008
    bb.KFind("IDX", buff, key, rec);
    EXPECT_EQ(rec, -4);
    EXPECT_EQ(key, key6(8));
    bb.KNext("IDX", buff, key, rec);
    EXPECT_EQ(key, key6(10));
    key = key6(99);
    bb.KFind("IDX", buff, key, rec);
    EXPECT_EQ(rec, 0);
    EXPECT_EQ(key, std::string(6, '\xFF'));
}

TEST_F(Index, NextAfterTheLastKeyAndPrevBeforeTheFirst) {
    auto& bb = build(numbered(10));
    std::string buff, key = key6(20);
    std::int32_t rec = 0;
    bb.KFind("IDX", buff, key, rec);
    ASSERT_EQ(rec, 10);
    bb.KNext("IDX", buff, key, rec);
    EXPECT_EQ(rec, 0);
    EXPECT_EQ(key, std::string(6, '\xFF'));
    bb.KNext("IDX", buff, key, rec);
    EXPECT_EQ(rec, 0);
    key = key6(2);
    bb.KFind("IDX", buff, key, rec);
    std::string before = buff;
    bb.KPrev("IDX", buff, key, rec);
    EXPECT_EQ(rec, 0);
    EXPECT_EQ(buff, before);
}

TEST_F(Index, PrevWalksBackAcrossLeavesFromLast) {
    auto entries = numbered(30);
    auto& bb = build(entries);
    std::string buff, key;
    std::int32_t rec = 0;
    bb.KLast("IDX", buff, key, rec);
    EXPECT_EQ(key, entries.back().key);
    std::vector<std::int32_t> back;
    while (rec != 0 && back.size() < 100) {
        back.push_back(rec);
        bb.KPrev("IDX", buff, key, rec);
    }
    ASSERT_EQ(back.size(), 30u);
    for (int i = 0; i < 30; ++i)
        EXPECT_EQ(back[i], 30 - i);
    // From a search position too.
    key = key6(22);
    bb.KFind("IDX", buff, key, rec);
    bb.KPrev("IDX", buff, key, rec);
    EXPECT_EQ(rec, 10);
    EXPECT_EQ(key, key6(20));
}

TEST_F(Index, DuplicateKeysComeInStoredOrder) {
    std::vector<IndexEntry> entries{{"AAAAAA", 1}, {"BBBBBB", 2}, {"BBBBBB", 3},
                                    {"BBBBBB", 4}, {"BBBBBB", 5}, {"CCCCCC", 6}};
    build(entries, true);
    auto walk = walkFrom("BBBBBB");
    EXPECT_EQ(walk.records, (std::vector<std::int32_t>{2, 3, 4, 5, 6}));
}

TEST_F(Index, SearchKeysArePaddedWithZerosAndCut) {
    auto& bb = build({{"ABC   ", 1}, {"ABD   ", 2}});
    std::string buff, key = "ABC";
    std::int32_t rec = 0;
    bb.KFind("IDX", buff, key, rec);
    EXPECT_EQ(rec, -1) << "zero bytes sort before blanks";
    EXPECT_EQ(key, "ABC   ");
    key = "ABD   LONGER";
    bb.KFind("IDX", buff, key, rec);
    EXPECT_EQ(rec, 2);
    EXPECT_EQ(key, "ABD   ");
}

TEST_F(Index, NextReadsOnceALeaf) {
    build(numbered(100), false, 10);
    auto reads = share.fs.counters().reads;
    auto walk = walkFrom("");
    EXPECT_EQ(walk.keys.size(), 100u);
    // header + root + one inner node + first leaf, then one read for each of the other 10 leaves
    EXPECT_EQ(share.fs.counters().reads - reads, 4 + 10);
}

TEST_F(Index, RootOutOfRangeShowsTheMessage) {
    auto& bb = build(numbered(5));
    patchBlock(0, 9, u16(250));
    std::string buff, key = "A";
    std::int32_t rec = 0;
    bb.KFind("IDX", buff, key, rec);
    EXPECT_EQ(rec, 0);
    ASSERT_EQ(services.boxes.size(), 1u);
    EXPECT_EQ(services.boxes[0],
              "Fennick|Index is returning information out of Range.  File: IDX LastRec:  200");
}

TEST_F(Index, LoopingLeafChainEndsTheWalk) {
    auto& bb = build(numbered(9));  // leaves 1..4, the last holding the end marker
    patchBlock(3, 3, u16(1));       // leaf 3 links back to leaf 1
    auto walk = walkFrom("");
    EXPECT_EQ(walk.keys.size(), 9u);
    EXPECT_EQ(bb.KCount("IDX"), 9) << "the keys the walk reached; no end marker to leave out";
    patchBlock(1, 3, u16(1));  // a leaf that links to itself
    EXPECT_EQ(walkFrom("").keys.size(), 3u);
    EXPECT_EQ(bb.KCount("IDX"), 3);
}

// A leaf entry whose record number is negative (0x80000000 at worst) is damage: whichever
// operation reaches it answers 0 with the out-of-range message, and nothing negates it.
TEST_F(Index, NegativeRecordNumbersEndTheWalk) {
    const std::string intMin("\x80\0\0\0", 4), minusTwo("\xFF\xFF\xFF\xFE", 4);
    struct Case {
        int block, entry;     // the damaged leaf entry
        std::string value;    // its record number
        std::string key;      // KFind's key ("" for KLast)
        int steps;            // KNext (or KPrev after KLast) steps after the search
        std::int32_t before;  // Rec before the damaged entry is reached
    };
    const Case cases[] = {
        {1, 1, intMin, key6(2), 0, 0},  // exact match
        {1, 1, intMin, "A", 0, 0},      // first greater key
        {1, 1, minusTwo, "A", 0, 0},    //
        {1, 2, intMin, key6(2), 1, 1},  // KNext onto it
        {3, 3, intMin, "", 0, 0},       // KLast, whose last leaf holds only the end marker
        {3, 2, intMin, "", 1, 9},       // KPrev onto it
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.block) + "/" + std::to_string(c.entry) + " " + c.key);
        auto& bb = build(numbered(9));
        patchBlock(c.block, 4 + (c.entry - 1) * 10 + 7, c.value);
        services.boxes.clear();
        std::string buff, key = c.key;
        std::int32_t rec = -1;
        if (c.key.empty())
            bb.KLast("IDX", buff, key, rec);
        else
            bb.KFind("IDX", buff, key, rec);
        for (int step = 0; step < c.steps; ++step) {
            EXPECT_EQ(rec, c.before);
            if (c.key.empty())
                bb.KPrev("IDX", buff, key, rec);
            else
                bb.KNext("IDX", buff, key, rec);
        }
        EXPECT_EQ(rec, 0);
        ASSERT_EQ(services.boxes.size(), 1u);
        EXPECT_EQ(services.boxes[0],
                  "Fennick|Index is returning information out of Range.  File: IDX LastRec:  200");
        EXPECT_EQ(bb.KCount("IDX"), 9) << "counting needs no record numbers";
    }
}

// An inner entry that names the same child as the entry after it sends KPrev from that child's
// first key back to its last: the step goes up in key order and is refused.
TEST_F(Index, PrevRefusesAStepUpInKeyOrder) {
    auto& bb = build(numbered(9));
    auto idx = bb.LogicalOpen("IDX");
    for (int block = 1; block <= 9; ++block) {
        std::string node = bb.ReadFile(idx->OpenFile, 512, (idx->Position + block) * 512);
        if (bb.Unpack("C", node, 3) != 0 || bb.Unpack("C", node, 1) < 2) continue;
        patchBlock(block, 11, node.substr(20, 4));  // entry 1 names entry 2's child
        break;
    }
    std::string buff, key;
    std::int32_t rec = 0;
    bb.KLast("IDX", buff, key, rec);
    std::vector<std::string> keys;
    try {
        while (rec != 0 && keys.size() < 100) {
            keys.push_back(key);
            bb.KPrev("IDX", buff, key, rec);
        }
    } catch (const EngineError& e) {
        EXPECT_EQ(e.number(), err::kIndexDamaged);
    }
    ASSERT_LE(keys.size(), 9u);
    EXPECT_TRUE(std::is_sorted(keys.rbegin(), keys.rend()));
}

TEST_F(Index, DamagedNodesAreRefused) {
    auto& bb = build(numbered(9));
    std::string buff, key;
    std::int32_t rec = 0;
    patchBlock(2, 1, u16(200));  // more entries than fit in a node
    key = key6(8);
    bb.KFind("IDX", buff, key, rec);
    EXPECT_EQ(rec, 0);
    EXPECT_EQ(walkFrom("").keys.size(), 3u) << "the walk ends at the damaged leaf";
    patchBlock(0, 1, u16(3));  // an entry length no index can have
    key = key6(2);
    bb.KFind("IDX", buff, key, rec);
    EXPECT_EQ(rec, 0);
    EXPECT_EQ(bb.KCount("IDX"), 0);
}

TEST_F(Index, EmptyLeavesAreSteppedOver) {
    auto& bb = build(numbered(9));
    patchBlock(2, 1, u16(0));  // leaf 2 lost its entries
    auto walk = walkFrom("");
    EXPECT_EQ(walk.records, (std::vector<std::int32_t>{1, 2, 3, 7, 8, 9}));
    EXPECT_EQ(bb.KCount("IDX"), 6);
}

TEST_F(Index, InnerNodesPointingAtThemselvesStopAtSevenLevels) {
    auto& bb = build(numbered(9));
    // The root (last block) gets an entry whose child is the root itself.
    auto root = bb.Unpack(
        "C",
        bb.ReadFile(bb.LogicalOpen("IDX")->OpenFile, 16, bb.LogicalOpen("IDX")->Position * 512), 9);
    std::string entry = std::string(6, '\x00') + std::string{0, 0, 0, char(root)};
    patchBlock(root, 5, entry);
    std::string buff, key = key6(2);
    std::int32_t rec = 7;
    bb.KFind("IDX", buff, key, rec);
    EXPECT_EQ(rec, 0);
}

}  // namespace
}  // namespace fennick
