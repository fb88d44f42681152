#include <gtest/gtest.h>

#include "support/test_share.h"

namespace fennick {
namespace {

using test_support::TestShare;

class Resolution : public ::testing::Test {
  protected:
    void SetUp() override {
        share.writer.addDataFile("DEALER:UNITS.DR",
                                 {{"UNITL", "L", 100, 10}, {"MUNITI", "I", 512, 4}});
        share.writer.addDataFile("DEALER:LINES.DR", {{"LINEL", "L", 64, 5}});
    }
    std::int64_t opens() { return share.fs.counters().opens; }
    TestShare share;
};

TEST_F(Resolution, LogicalFilesAreCachedAndShareTheirDataFile) {
    share.writer.writeLinks();
    auto& bb = share.open();
    auto before = opens();
    auto first = bb.LogicalOpen("UNITL");
    ASSERT_TRUE(first);
    EXPECT_EQ(first, bb.LogicalOpen("unitl")) << "the cache key ignores letter case";
    EXPECT_EQ(opens() - before, 2) << "one directory read and one data file open";
    auto index = bb.LogicalOpen("MUNITI");
    auto qualified = bb.LogicalOpen(":DEALER:MUNITI");
    ASSERT_TRUE(index && qualified);
    EXPECT_NE(index, qualified);
    EXPECT_EQ(index->OpenFile, first->OpenFile);
    EXPECT_EQ(qualified->OpenFile, first->OpenFile);
    EXPECT_EQ(opens() - before, 2) << "the directory file is read once per run";
    EXPECT_EQ(bb.OpenFiles().Count(), 1);
    EXPECT_EQ(first->RecordLength, 100);
    EXPECT_EQ(first->LastRecord, 10);
    EXPECT_EQ(first->FileType, "L");
    EXPECT_EQ(index->FileType, "I");
    EXPECT_EQ(index->Position, 3) << "11 records of 100 bytes take three blocks";
    EXPECT_EQ(first->OpenFile->Path, "\\\\FS1\\TARNLNK\\DEALER\\UNITS.DB");
    EXPECT_NE(bb.LogicalOpen("LINEL")->OpenFile, first->OpenFile);
}

TEST_F(Resolution, NamesMatchTheDirectoryExactly) {
    share.writer.writeLinks();
    // A directory entry whose flag bytes are set takes them into the compared name.
    std::string directory(64, '\0');
    directory.replace(0, 5, "UNITL");
    directory.replace(32, 5, "OTHER");
    directory[32 + 6] = 0x01;
    directory[32 + 15] = 'L';
    share.fs.setFile("\\\\FS1\\TARNLNK\\DEALER\\ODD.DR", directory);
    share.fs.setFile("\\\\FS1\\TARNLNK\\DEALER\\ODD.DB", std::string(512, '\0'));
    share.writer.addLink(":DEALER:OTHER", "DEALER:ODD.DR");
    share.writer.addLink(":DEALER:unitl", "DEALER:UNITS.DR");
    share.writer.writeLinks();
    auto& bb = share.open();
    EXPECT_FALSE(bb.LogicalOpen("OTHER"));
    EXPECT_FALSE(bb.LogicalOpen(":DEALER:unitl")) << "the bare name is compared with case";
    EXPECT_TRUE(bb.LogicalOpen(":dealer:UNITL")) << "the link key is not";
    EXPECT_FALSE(bb.LogicalOpen("NOSUCH"));
}

TEST_F(Resolution, LinksFileEntries) {
    share.writer.addLink(":DEALER:UNITL", "DEALER:LINES.DR");  // a later duplicate is dropped
    share.writer.writeLinks();
    std::string links = *share.fs.contents("\\\\FS1\\TARNLNK\\LINKSFILE");
    // A short last entry: its name is read, its resolution is empty.
    std::string tail(80, ' ');
    tail.replace(1, 10, ":DEALER:XX");
    share.fs.setFile("\\\\FS1\\TARNLNK\\LINKSFILE", links + tail);
    auto& bb = share.open();
    EXPECT_EQ(bb.Links().Count(), 4);
    EXPECT_EQ(bb.Links().Item(":dealer:unitl")->ResolutionFile, "DEALER:UNITS.DR");
    EXPECT_EQ(bb.Links().Item(":DEALER:XX")->ResolutionFile, "");
    EXPECT_EQ(bb.LogicalOpen("UNITL")->RecordLength, 100);
    EXPECT_FALSE(bb.LogicalOpen("XX"));
}

TEST_F(Resolution, MissingLinksFileIsEmptyAndNotCreated) {
    auto& bb = share.open();
    EXPECT_EQ(bb.Links().Count(), 0);
    EXPECT_FALSE(bb.LogicalOpen("UNITL"));
    EXPECT_EQ(share.fs.contents("\\\\FS1\\TARNLNK\\LINKSFILE"), nullptr);
    EXPECT_THROW(bb.LreadFile("UNITL", 1), EngineError);
}

TEST_F(Resolution, ResolutionWithoutColonIsInTheShareRoot) {
    share.writer.addLink(":ROOTED:UNITL", "UNITS.DR");
    share.writer.writeLinks();
    share.fs.setFile("\\\\FS1\\TARNLNK\\UNITS.DR",
                     *share.fs.contents("\\\\FS1\\TARNLNK\\DEALER\\UNITS.DR"));
    share.fs.setFile("\\\\FS1\\TARNLNK\\UNITS.DB", std::string(4096, '\0'));
    auto& bb = share.open();
    auto rooted = bb.LogicalOpen(":ROOTED:UNITL");
    ASSERT_TRUE(rooted);
    EXPECT_EQ(rooted->OpenFile->Path, "\\\\FS1\\TARNLNK\\UNITS.DB");
}

TEST_F(Resolution, UnopenableDataFileIsNotRemembered) {
    share.writer.writeLinks();
    share.fs.setUnopenable("\\\\FS1\\TARNLNK\\DEALER\\UNITS.DB");
    auto& bb = share.open();
    EXPECT_FALSE(bb.LogicalOpen("UNITL"));
    EXPECT_EQ(bb.LogicalFiles().Count(), 0);
    ASSERT_TRUE(bb.LastOpenFailure());
    EXPECT_EQ(bb.LastOpenFailure()->description(),
              "Could not open file: \\\\FS1\\TARNLNK\\DEALER\\UNITS.DB");
    try {
        bb.LreadFile("UNITL", 1);
        FAIL();
    } catch (const EngineError& e) {
        EXPECT_EQ(e.number(), -10);
        EXPECT_EQ(e.source(), "LogicalOpen");
        EXPECT_EQ(e.description(), "File not Found: \"UNITL\"");
    }
}

TEST_F(Resolution, PlainFilesByNameOrPath) {
    share.writer.writeLinks();
    share.writer.writePlainFile("FILE0", std::string(10240, 'x'));
    auto& bb = share.open();
    std::string name = "FILE0";
    auto file = bb.OpenFile(name);
    ASSERT_TRUE(file);
    EXPECT_EQ(name, "\\\\FS1\\TARNLNK\\DEALER\\FILE0");
    std::string again = name;
    EXPECT_EQ(bb.OpenFile(again), file);
    std::string missing = "NOFILE";
    EXPECT_FALSE(bb.OpenFile(missing));
    EXPECT_THROW(bb.CloseFile("NOFILE"), EngineError);
    std::int32_t last = 0;
    auto whole = bb.PhysLogicalOpen("FILE0", "L", 512, last);
    EXPECT_EQ(last, 19);
    EXPECT_EQ(whole->OpenFile, file);
    std::int32_t unknown = 0;
    EXPECT_THROW(bb.PhysLogicalOpen("FILE0", "L", 0, unknown), EngineError);
    bb.CloseFile(file);
    EXPECT_EQ(bb.OpenFiles().Count(), 0);
    EXPECT_EQ(bb.LogicalFiles().Count(), 1) << "logical entries outlive the closed file";
    try {
        bb.ReadFile(file, 4, 0);
        FAIL();
    } catch (const EngineError& e) {
        EXPECT_EQ(e.description(), "OpenFile parameter is undefined");
    }
}

TEST(KeyedCollection, KeysIgnoreCaseAndMissingOnesFail) {
    cLinks links;
    links.Add(std::make_shared<cLink>(cLink{"a", "1"}), "Key");
    links.Add(std::make_shared<cLink>(cLink{"b", "2"}));
    EXPECT_EQ(links.Item("KEY")->ResolutionFile, "1");
    EXPECT_EQ(links.Item(2)->LinkFile, "b");
    EXPECT_THROW(links.Item("none"), EngineError);
    EXPECT_THROW(links.Item(3), EngineError);
    EXPECT_THROW(links.Add(std::make_shared<cLink>(), "key"), EngineError);
    links.Remove("kEy");
    EXPECT_EQ(links.Count(), 1);
    EXPECT_EQ(links.NewEnum().front()->LinkFile, "b");
}

}  // namespace
}  // namespace fennick
