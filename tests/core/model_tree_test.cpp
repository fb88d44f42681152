#include "core/model_tree.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "engine/engine_writer.h"
#include "viewer_share.h"

namespace fennick::core {
namespace {

using test_support::unitOf;

demo::UnitSpec soldOn(demo::UnitSpec u, std::int32_t invoice, bool withDate) {
    u.soldInvoice = invoice;
    if (withDate) u.sold = u.received + std::chrono::days(3);
    return u;
}

// CTR: CT100 (first entry without a number), CT200 (only unnumbered units), CT300,
// CT400 (all on sold invoices), CT500 (unsold by invoice, sold by date). PRT is a parts line,
// TRL has no units, MOW has one model, ARC is numbered 1200.
demo::DealerData treeData() {
    demo::DealerData d;
    d.lines = {test_support::unitLine(),
               {2, "PRT", "SERVICE PARTS", 'P', "P"},
               test_support::unitLine(3, "TRL", "TRAILERS"),
               test_support::unitLine(4, "MOW", "MOWERS"),
               test_support::unitLine(1200, "ARC", "ARCHIVE")};
    d.units = {unitOf("CT100", ""),
               unitOf("CT100", "C2"),
               unitOf("CT200", ""),
               unitOf("CT300", "C5"),
               unitOf("CT300", "C6"),
               soldOn(unitOf("CT400", "C7"), 9001, false),
               soldOn(unitOf("CT400", "C8"), 9002, true),
               soldOn(unitOf("CT500", "C9"), 0, true),
               unitOf("ZT1", "M1", 4),
               unitOf("OLD1", "A1", 1200)};
    return d;
}

std::vector<std::string> modelTexts(const LineNode& line) {
    std::vector<std::string> texts;
    for (const auto& m : line.models)
        texts.push_back(codec::trun(m.text));
    return texts;
}

TEST(ModelTree, NodesTextsAndTags) {
    test_support::RecordingServices services;
    test_support::ViewerShare share(treeData());
    ModelTreeData tree = ModelTree(*share.store).loadtree(false);
    ASSERT_EQ(tree.lines.size(), 3u);  // CTR, TRL, MOW: not the parts line, not line 1200
    const LineNode& ctr = tree.lines[0];
    EXPECT_EQ(ctr.text, "COMPACT TRACTORS" + std::string(14, ' '));
    EXPECT_EQ(ctr.key, ctr.text);
    EXPECT_EQ(ctr.tag, "CTR");
    EXPECT_EQ(modelTexts(ctr), (std::vector<std::string>{"CT100", "CT300", "CT400", "CT500"}));
    EXPECT_EQ(ctr.models[0].text, "CT100" + std::string(13, ' '));
    EXPECT_EQ(ctr.models[0].tag, "CTRCT100" + std::string(22, ' '));
    EXPECT_TRUE(tree.lines[1].models.empty());
    EXPECT_EQ(modelTexts(tree.lines[2]), std::vector<std::string>{"ZT1"});
    EXPECT_TRUE(services.boxes.empty());
}

TEST(ModelTree, InStockFilterLooksAtSoldInvoicesOnly) {
    test_support::ViewerShare share(treeData());
    ModelTree builder(*share.store);
    ModelTreeData tree = builder.loadtree(true);
    EXPECT_EQ(modelTexts(tree.lines[0]), (std::vector<std::string>{"CT100", "CT300", "CT500"}));
    EXPECT_FALSE(builder.modelHasInStockUnits(1, "CT400"));
    EXPECT_TRUE(builder.modelHasInStockUnits(1, "CT500             "));
    EXPECT_FALSE(builder.modelHasInStockUnits(4, "CT500"));
}

TEST(ModelTree, LastLineOfTheIndexEndsQuietly) {
    test_support::RecordingServices services;
    demo::DealerData d;
    d.lines = {test_support::unitLine()};
    d.units = {unitOf("CT100", "C1"), unitOf("CT200", "C2")};
    test_support::ViewerShare share(d);
    ModelTreeData tree = ModelTree(*share.store).loadtree(false);
    EXPECT_EQ(modelTexts(tree.lines[0]), (std::vector<std::string>{"CT100", "CT200"}));
    EXPECT_TRUE(services.boxes.empty());
}

TEST(ModelTree, DamagedUnitIndexShowsTheBoxAndGoesOn) {
    test_support::RecordingServices services;
    test_support::ViewerShare share(treeData());
    // Entry 4 of the one-leaf unit index (CT300, C5) points past the end of UNITL.
    auto munit = share.damager->LogicalOpen("MUNITI");
    std::string pointer(4, '\0');
    codec::pack("L", pointer, 999, 1);
    EngineWriter(*share.damager)
        .WriteFile(munit->OpenFile, pointer, (munit->Position + 1) * 512 + 4 + 3 * 26 + 22);
    ModelTreeData tree = ModelTree(*share.store).loadtree(false);
    EXPECT_EQ(modelTexts(tree.lines[0]), std::vector<std::string>{"CT100"});
    EXPECT_EQ(modelTexts(tree.lines[2]), std::vector<std::string>{"ZT1"});
    ASSERT_EQ(services.boxes.size(), 1u);
    EXPECT_EQ(services.boxes[0],
              "Error| Error 81  Illegal Record Number for File: UNITL and Record:  999\r\n"
              " in larkmoor.loadtree.\r\n There is a problem with your Unit data... call "
              "tarnwell.\r\n\r\n Aborting program..\r\n\r\n");
}

TEST(ModelTree, LinesSharingANameKeepTheirOwnModels) {
    demo::DealerData d;
    d.lines = {test_support::unitLine(1, "AAA", "SAME"), test_support::unitLine(2, "BBB", "SAME")};
    d.units = {unitOf("X1", "U1", 1), unitOf("Y1", "U2", 2)};
    test_support::ViewerShare share(d);
    ModelTree builder(*share.store);
    ModelTreeData tree = builder.loadtree(false);
    ASSERT_EQ(tree.lines.size(), 2u);
    EXPECT_EQ(modelTexts(tree.lines[0]), std::vector<std::string>{"X1"});
    EXPECT_EQ(modelTexts(tree.lines[1]), std::vector<std::string>{"Y1"});
    EXPECT_EQ(builder.lookupLineNumber("BBB"), 2);
    EXPECT_EQ(builder.lookupLineNumber("ZZZ"), 0);
}

// A build cancelled at its n-th step keeps the unit lines finished before it.
struct CancelCase {
    int cancelAtStep;  // 0: never
    std::vector<std::string> lines;
};

class ModelTreeCancel : public ::testing::TestWithParam<CancelCase> {};

TEST_P(ModelTreeCancel, KeepsTheLinesReadSoFar) {
    test_support::ViewerShare share(treeData());
    std::vector<std::pair<std::string, std::int64_t>> steps;
    WorkProgress progress([&](const ProgressStep& step) {
        steps.emplace_back(codec::trun(step.text), step.done);
        if (static_cast<int>(steps.size()) == GetParam().cancelAtStep) progress.cancel();
    });
    ModelTreeData tree = ModelTree(*share.store).loadtree(false, &progress);
    std::vector<std::string> lines;
    for (const auto& line : tree.lines)
        lines.push_back(line.tag);
    EXPECT_EQ(lines, GetParam().lines);
    EXPECT_EQ(tree.cancelled, GetParam().cancelAtStep != 0);
    if (GetParam().cancelAtStep == 0) {
        using Step = std::pair<std::string, std::int64_t>;
        EXPECT_EQ(
            steps,
            (std::vector<Step>{
                {"COMPACT TRACTORS", 0}, {"SERVICE PARTS", 1}, {"TRAILERS", 1}, {"MOWERS", 2}}));
        EXPECT_EQ(tree.lines[0].models.size(), 4u);
    }
}

INSTANTIATE_TEST_SUITE_P(Steps, ModelTreeCancel,
                         ::testing::Values(CancelCase{1, {}}, CancelCase{2, {"CTR"}},
                                           CancelCase{4, {"CTR", "TRL"}},
                                           CancelCase{0, {"CTR", "TRL", "MOW"}}));

// A tree asked to give way waits between two batches of a line's reads ahead, not only once the
// line is read: at most the batch in flight reaches the share after the pause is asked.
TEST(ModelTree, GivesWayBetweenBatchesOfReadsAhead) {
    // One record a read, one read a batch: the line's reads ahead take many batches.
    test_support::ViewerShare share(treeData(), true,
                                    {.maxGap = 1, .maxRead = 1, .inFlight = 1, .wholeFile = 0});
    WorkProgress progress;
    std::atomic<bool> waiting{false}, asked{false};
    std::atomic<int> readsAfterAsking{0};
    const std::string units = share.loggedPath("UNIT.DB");
    share.log->onRead = [&](const test_support::LoggedRead& read) {
        if (asked) {
            ++readsAfterAsking;
        } else if (read.path == units) {
            asked = true;
            progress.pause([&] { waiting = true; });
        }
    };
    ModelTreeData tree;
    std::thread build([&] { tree = ModelTree(*share.store).loadtree(false, &progress); });
    for (int i = 0; i < 5000 && !waiting; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_TRUE(waiting);
    EXPECT_LE(readsAfterAsking.load(), 1);
    progress.resume();
    build.join();
    EXPECT_FALSE(tree.cancelled);
    EXPECT_EQ(tree.lines.size(), 3u);
}

TEST(FindSelectUnit, LastMatchStaysSelected) {
    ModelTreeData tree;
    tree.lines = {{"A", "A", "CTR", {{"X1", modelTag("CTR", "X1")}, {"X2", modelTag("CTR", "X2")}}},
                  {"B", "B", "MOW", {{"X1", modelTag("MOW", "X1")}}}};
    auto found = findSelectUnit(tree, "CTR", "X1");
    ASSERT_TRUE(found.selected);
    EXPECT_EQ(found.selected->line, 1u);  // the model number matches under both lines
    EXPECT_EQ(found.selected->model, 0u);
    EXPECT_TRUE(found.loadUnits);
    found = findSelectUnit(tree, "MOW", "X9");
    ASSERT_TRUE(found.selected);
    EXPECT_EQ(found.selected->line, 1u);
    EXPECT_FALSE(found.selected->model);
    EXPECT_FALSE(found.loadUnits);
    EXPECT_FALSE(findSelectUnit(tree, "ZZZ", "X9").selected);
    EXPECT_EQ(splitTag(modelTag("CTR", "X1")).second, "X1" + std::string(25, ' '));
}

}  // namespace
}  // namespace fennick::core
