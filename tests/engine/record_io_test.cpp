#include <gtest/gtest.h>

#include <optional>

#include "engine/engine_writer.h"
#include "support/test_share.h"

namespace fennick {
namespace {

using test_support::TestShare;

using test_support::errorOf;

class RecordIo : public ::testing::Test {
  protected:
    cBusinessBasic& open(LockLayer* locks = nullptr) {
        share.writer.addDataFile(
            "DEALER:DATA.DR",
            {{"HIST", "L", 100, 100}, {"SMALL", "L", 128, 4}, {"IDX", "I", 512, 2}});
        share.writer.writeLinks();
        auto& engine = share.open(locks);
        write.emplace(engine);
        return engine;
    }
    std::int32_t header(const std::string& name, int position) {
        auto file = bb->LogicalOpen(name);
        return bb->Unpack("L", bb->ReadFile(file->OpenFile, 16, file->Position * 512), position);
    }
    TestShare share;
    cBusinessBasic* bb = nullptr;
    std::optional<EngineWriter> write;
};

TEST_F(RecordIo, RecordNumbersOutsideTheFileAreRefused) {
    bb = &open();
    auto e = errorOf([&] { bb->LreadFile("HIST", 0); });
    EXPECT_EQ(e.number(), 81);
    EXPECT_EQ(e.source(), "iLreadFile");
    EXPECT_EQ(e.description(), "Illegal Record Number for File: HIST and Record:  0");
    EXPECT_NO_THROW(bb->LreadFile("HIST", 100));
    EXPECT_EQ(errorOf([&] { bb->LreadFile("HIST", 101); }).number(), 81);
    e = errorOf([&] { write->LwriteFile("HIST", 101, std::string(100, 'x')); });
    EXPECT_EQ(e.description(), "Illegal Record Number for File: HIST and Record:  100");
    e = errorOf([&] { write->LwriteFile("SMALL", 1, std::string(127, 'x')); });
    EXPECT_EQ(e.number(), 36);
    EXPECT_EQ(e.description(),
              "Illegal Data length for this record.  Size is:  127 and should be  128");
    e = errorOf([&] { bb->LreadFile(nullptr, 1); });
    EXPECT_EQ(e.description(), "LogicalFile parameter is undefined");
    e = errorOf([&] { bb->LreadFile("ABC", 1); });
    EXPECT_EQ(e.description(), "File not Found: \"ABC\"");
    e = errorOf([&] { write->WriteFile(nullptr, "x", 0); });
    EXPECT_EQ(e.source(), "iwriteFile");
}

TEST_F(RecordIo, RecordsLieAtTheirOffsets) {
    bb = &open();
    auto small = bb->LogicalOpen("SMALL");
    EXPECT_EQ(small->Position, 20) << "HIST takes 101 x 100 bytes = 20 blocks";
    write->WriteFile(small->OpenFile, "REC2", small->Position * 512 + 2 * 128);
    EXPECT_EQ(bb->LreadFile(small, 2).substr(0, 4), "REC2");
    EXPECT_EQ(small->OpenFile->Position, small->Position * 512 + 256);
    write->WriteFile(small->OpenFile, "AGAIN", -1);
    EXPECT_EQ(bb->LreadFile(small, 2).substr(0, 5), "AGAIN")
        << "a negative position reuses the last";
    EXPECT_EQ(bb->BlockReadFile(small->OpenFile, 0), bb->ReadFile(small->OpenFile, 512, 0));
}

TEST_F(RecordIo, ReadsPastTheEndGiveBlanksAndHugeOffsetsOverflow) {
    bb = &open();
    auto small = bb->LogicalOpen("SMALL");
    auto length = small->OpenFile->handle->length();
    std::string tail = bb->ReadFile(small->OpenFile, 8, static_cast<std::int32_t>(length) - 4);
    EXPECT_EQ(tail, std::string(4, '\0') + "    ");
    small->LastRecord = 40'000'000;
    auto e = errorOf([&] { bb->LreadFile(small, 39'000'000); });
    EXPECT_EQ(e.number(), 6);
    EXPECT_EQ(errorOf([&] { bb->ReadFile(small->OpenFile, -1, 0); }).number(), 5);
}

TEST_F(RecordIo, GetRecNeedsALock) {
    bb = &open();
    write->InitFile("SMALL");
    std::int32_t number = 0;
    auto e = errorOf([&] { write->GetRec("SMALL", number); });
    EXPECT_EQ(e.number(), 57);
    EXPECT_EQ(e.description(), "Could not obtain a Lock on Record Zero of SMALL");
    EXPECT_EQ(write->PhysicalLock("X", 1, 2), 0);
    EXPECT_EQ(write->ReleaseLock(7), 0);
}

TEST_F(RecordIo, FreeListWithAGrantingLockLayer) {
    tools::GrantingLocks locks;
    bb = &open(&locks);
    write->InitFile("SMALL");
    EXPECT_EQ(header("SMALL", 3), -1);
    std::int32_t a = 0, b = 0;
    write->GetRec("SMALL", a);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(header("SMALL", 3), -1);
    EXPECT_EQ(header("SMALL", 7), 1);
    EXPECT_EQ(header("SMALL", 11), 1);
    write->GetRec("SMALL", b);
    EXPECT_EQ(b, 2);
    write->LwriteFile("SMALL", 1, test_support::liveRecord(128, "one"));
    write->LwriteFile("SMALL", 2, test_support::liveRecord(128, "two"));
    write->DelRec("SMALL", 1);
    write->DelRec("SMALL", 2);
    EXPECT_EQ(header("SMALL", 3), 2);
    EXPECT_EQ(bb->Unpack("L", bb->LreadFile("SMALL", 2), 3), 1);
    EXPECT_EQ(bb->Unpack("L", bb->LreadFile("SMALL", 1), 3), -1);
    EXPECT_EQ(header("SMALL", 11), 0);
    EXPECT_EQ(errorOf([&] { write->DelRec("SMALL", 2); }).description(),
              "Attempt to delete a deleted record");
    EXPECT_EQ(header("SMALL", 3), 2) << "a refused delete changes nothing";
    std::int32_t next = 0;
    write->GetRec("SMALL", next);
    EXPECT_EQ(next, 2);
    EXPECT_EQ(header("SMALL", 3), 1);
    write->GetRec("SMALL", next);
    EXPECT_EQ(next, 1);
    EXPECT_EQ(header("SMALL", 3), -1);
    EXPECT_EQ(header("SMALL", 7), 2) << "the high used record only grows";
    EXPECT_EQ(bb->LogicalOpen("SMALL")->ActiveCount(), 2);
    EXPECT_EQ(bb->LogicalOpen("SMALL")->HighUsedRecord(), 2);
    EXPECT_EQ(bb->LogicalOpen("IDX")->HighUsedRecord(), 0);
    EXPECT_EQ(cLogicalFile{}.ActiveCount(), 0);
}

class RecordingLocks : public LockLayer {
  public:
    std::int32_t lock(const std::string& file, std::int32_t position,
                      std::int32_t length) override {
        asked = file + "@" + std::to_string(position) + "+" + std::to_string(length);
        return 0;
    }
    std::int32_t release(std::int32_t) override { return 0; }
    std::string asked;
};

TEST_F(RecordIo, LogicalLockAsksForTheRecordsBytes) {
    RecordingLocks locks;
    share.writer.addDataFile("DEALER:LOCK.DR", {{"PAD", "L", 512, 1}, {"LOCKED", "L", 100, 9}});
    bb = &open(&locks);
    EXPECT_EQ(write->LogicalLock("LOCKED", 3), 0);
    EXPECT_EQ(locks.asked, "LOCKED@1324+100");
    EXPECT_EQ(errorOf([&] { write->LogicalLock("NONE", 1); }).number(), -10);
}

TEST_F(RecordIo, InitFileWritesAnEmptyIndex) {
    bb = &open();
    write->InitFile("IDX", 6, true, 50);
    auto idx = bb->LogicalOpen("IDX");
    std::string head = bb->ReadFile(idx->OpenFile, 16, idx->Position * 512);
    EXPECT_EQ(bb->Unpack("C", head, 1), 10);
    EXPECT_EQ(bb->Unpack("C", head, 3), 50);
    EXPECT_EQ(bb->Unpack("C", head, 5), 2);
    EXPECT_EQ(bb->Unpack("C", head, 9), 1);
    EXPECT_EQ(bb->Unpack("C", head, 11), 0);
    EXPECT_EQ(bb->Unpack("C", head, 13), 65535);
    EXPECT_EQ(bb->KLength("IDX"), 6);
}

}  // namespace
}  // namespace fennick
