#include "viewer/core/export_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "engine/error.h"
#include "platform/local_file_system.h"

namespace fennick::viewer {
namespace {

UnitRow unitRow(const std::string& unit, const std::string& line, const std::string& model) {
    UnitRow row(kUnitColumns);
    row[col::kUnit] = unit;
    row[col::kLine] = line;
    row[col::kModel] = model;
    row[20] = "Compact tractor";
    row[21] = "1200.00";
    row[22] = "1000.00";
    return row;
}

TEST(ExportRecords, ShortRecordFieldsAndTruncation) {
    EXPECT_EQ(shortRecord("AB", "X100", "U7"), "AB" + std::string(2, ' ') + "X100" +
                                                   std::string(21, ' ') + "U7" +
                                                   std::string(34, ' ') + "\n");
    std::string cut = shortRecord("ABCD", std::string(24, 'm') + "MN", std::string(34, 'u') + "UV");
    ASSERT_EQ(cut.size(), kShortRecordLength);
    EXPECT_EQ(cut.substr(0, 4), "ABC ");
    EXPECT_EQ(cut.substr(4, 25), std::string(24, 'm') + "M");
    EXPECT_EQ(cut.substr(29, 35), std::string(34, 'u') + "U");
    EXPECT_EQ(cut.substr(64), " \n");
    // Dealer bytes pass through unchanged.
    EXPECT_EQ(shortRecord("\xE4", "", "").substr(0, 2), "\xE4 ");
}

TEST(ExportRecords, SingleUnitTakesLineAndModelFromTheRow) {
    UnitRow row = unitRow("U7", "AB ", "X100" + std::string(22, ' '));
    EXPECT_EQ(singleUnitExport(&row), shortRecord("AB", "X100", "U7"));
    try {
        singleUnitExport(nullptr);
        FAIL() << "no row should fail";
    } catch (const EngineError& failure) {
        EXPECT_EQ(failure.number(), err::kShare);
    }
}

TEST(ExportRecords, PickListWritesOneRecordPerRowInOrder) {
    std::vector<UnitRow> pick = {unitRow("U3", "CTR", "M1"), unitRow("U1", "CTR", "M2"),
                                 unitRow("U2", "LAW", "M1")};
    EXPECT_EQ(pickListExport(pick), shortRecord("CTR", "M1", "U3") +
                                        shortRecord("CTR", "M2", "U1") +
                                        shortRecord("LAW", "M1", "U2"));
    EXPECT_EQ(pickListExport({}), "");
}

TEST(ExportRecords, LongRecordLayout) {
    ExportGridRow row = exportGridRow(unitRow("U7", "CTR", "X100"));
    EXPECT_EQ(row[xcol::kDescription], "Compact tractor");
    EXPECT_EQ(row[xcol::kTax], "false");
    EXPECT_EQ(row[xcol::kNet], "1000.00");
    EXPECT_EQ(row[xcol::kDealerList], "1000.00");
    EXPECT_EQ(row[xcol::kSuggestedList], "1200.00");
    EXPECT_EQ(row[xcol::kCodeList], "");
    row[xcol::kTax] = "-1";
    row[xcol::kWarrantyPeriod] = "12";
    row[xcol::kExtWarrantyMonths] = "24";
    row[xcol::kPolicyAmount] = "300.00";
    row[xcol::kPolicyCost] = "150.00";

    std::string expected(512, ' ');
    auto at = [&](std::size_t pos, const std::string& v) {
        expected.replace(pos - 1, v.size(), v);
    };
    at(1, "CTR");
    at(6, "X100");
    at(31, "U7");
    at(66, "T");
    at(71, "1000.00");
    at(91, "12");
    at(96, "24");
    at(101, "300.00");
    at(121, "150.00");
    EXPECT_EQ(longRecord(row), expected + "\n");
}

TEST(ExportRecords, LongRecordTaxAndTruncation) {
    ExportGridRow row{};
    for (const char* unticked : {"false", "0", "1", "T", "", "-1 "}) {
        row[xcol::kTax] = unticked;
        EXPECT_EQ(longRecord(row).substr(65, 5), "F    ") << unticked;
    }
    row[xcol::kLine] = "ABCDEFG";
    row[xcol::kNet] = std::string(20, '9') + "12";
    row[xcol::kWarrantyPeriod] = "123456";
    row[xcol::kPolicyCost] = std::string(25, 'c');
    std::string record = longRecord(row);
    ASSERT_EQ(record.size(), kLongRecordLength);
    EXPECT_EQ(record.substr(0, 5), "ABCDE");
    EXPECT_EQ(record.substr(70, 20), std::string(20, '9'));
    EXPECT_EQ(record.substr(90, 5), "12345");
    EXPECT_EQ(record.substr(95, 5), "     ");
    EXPECT_EQ(record.substr(120, 20), std::string(20, 'c'));
    EXPECT_EQ(record.find('\n'), kLongRecordLength - 1);
    EXPECT_EQ(longRecordExport({row, row}), record + record);
    EXPECT_EQ(longRecordExport({}), "");
}

TEST(ExportRecords, ColumnsOfTheEditingGrid) {
    const auto& columns = exportColumns();
    EXPECT_EQ(columns[xcol::kTax].heading, "Tax");
    EXPECT_EQ(columns[xcol::kPolicyCost].heading, "Policy Cost");
    EXPECT_TRUE(columns[xcol::kCodeList].hidden);
    for (std::size_t c : {xcol::kLine, xcol::kModel, xcol::kUnit, xcol::kDealerList})
        EXPECT_FALSE(columns[c].editable) << c;
    for (std::size_t c : {xcol::kTax, xcol::kNet, xcol::kWarrantyPeriod, xcol::kPolicyAmount})
        EXPECT_TRUE(columns[c].editable) << c;
}

TEST(ExportDispatch, WayAndTarget) {
    EXPECT_EQ(exportWay(true, false), ExportWay::EditingWindow);
    EXPECT_EQ(exportWay(true, true), ExportWay::EditingWindow);
    EXPECT_EQ(exportWay(false, false), ExportWay::SingleUnit);
    EXPECT_EQ(exportWay(false, true), ExportWay::PickList);
    cSystem system;
    system.mUNCDrive = "FS1";
    system.xTermid = "12";
    system.TerminalID = "3";
    ExportTarget target = exportTarget(system);
    EXPECT_EQ(target.share, "\\\\FS1\\CATCON\\");
    EXPECT_EQ(target.path, "\\\\FS1\\CATCON\\unitexport.12");
}

// A file system whose files take half of a write and then fail.
class HalfWritingFileSystem : public platform::MemoryFileSystem {
  public:
    std::unique_ptr<platform::File> create(const std::string& path) override {
        return std::make_unique<HalfFile>(counters(), MemoryFileSystem::create(path));
    }

  private:
    class HalfFile : public platform::File {
      public:
        HalfFile(platform::IoCounters& c, std::unique_ptr<platform::File> inner)
            : File(c), inner_(std::move(inner)) {}
        std::int64_t length() const override { return inner_->length(); }
        bool readOnly() const override { return false; }

      protected:
        std::size_t doRead(std::int64_t offset, char* buf, std::size_t n) override {
            return inner_->readAt(offset, buf, n);
        }
        void doWrite(std::int64_t offset, const char* buf, std::size_t n) override {
            inner_->writeAt(offset, buf, n / 2);
            throw platform::IoError("Disk full");
        }

      private:
        std::unique_ptr<platform::File> inner_;
    };
};

const ExportTarget kTarget{"\\\\FS1\\CATCON\\", "\\\\FS1\\CATCON\\unitexport.12"};

std::int32_t failureNumber(const std::function<void()>& action) {
    try {
        action();
    } catch (const EngineError& failure) {
        return failure.number();
    }
    return 0;
}

TEST(ExportWriting, ReplacesTheWholeFile) {
    platform::MemoryFileSystem fs;
    fs.addDirectory(kTarget.share);
    fs.setFile(kTarget.path, std::string(500, 'x'));
    writeExportFile(fs, kTarget, shortRecord("AB", "X", "U"));
    EXPECT_EQ(*fs.contents(kTarget.path), shortRecord("AB", "X", "U"));
    EXPECT_EQ(fs.counters().writes, 1);
    writeExportFile(fs, kTarget, "");
    EXPECT_EQ(*fs.contents(kTarget.path), "");
}

TEST(ExportWriting, FailuresLeaveNoPartialFile) {
    platform::MemoryFileSystem noShare;
    EXPECT_EQ(failureNumber([&] { writeExportFile(noShare, kTarget, "x\n"); }), 76);
    EXPECT_EQ(noShare.contents(kTarget.path), nullptr);

    HalfWritingFileSystem half;
    half.addDirectory(kTarget.share);
    std::string bytes = shortRecord("AB", "X", "U1") + shortRecord("AB", "X", "U2");
    EXPECT_EQ(failureNumber([&] { writeExportFile(half, kTarget, bytes); }), 57);
    EXPECT_EQ(half.contents(kTarget.path), nullptr);
}

TEST(ExportWriting, FailureMessage) {
    EngineError failure(76, "Add to Invoice", "Path not found");
    EXPECT_EQ(exportFailureText(failure),
              " Error 76  Path not found\r\n in Add to Invoice function\r\n\r\n"
              "Could not create Export file.");
    EXPECT_EQ(exportFailureText(platform::IoError("Disk full")).substr(0, 20),
              " Error 57  Disk full");
}

// On disk: the CATCON share must exist; the export never creates it.
TEST(ExportWriting, LocalShare) {
    namespace fs = std::filesystem;
    fs::path root = fs::temp_directory_path() / ("fennick-export-" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "FS1" / "catcon");
    platform::LocalFileSystem share(root);
    writeExportFile(share, kTarget, "A\nB\n");
    std::ifstream in(root / "FS1" / "catcon" / "unitexport.12", std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    EXPECT_EQ(bytes.str(), "A\nB\n");

    ExportTarget elsewhere{"\\\\FS2\\CATCON\\", "\\\\FS2\\CATCON\\unitexport.12"};
    EXPECT_EQ(failureNumber([&] { writeExportFile(share, elsewhere, "A\n"); }), 76);
    EXPECT_FALSE(fs::exists(root / "FS2"));
    fs::remove_all(root);
}

}  // namespace
}  // namespace fennick::viewer
