#include "core/export_file.h"

#include <gtest/gtest.h>

#include "engine/error.h"

namespace fennick::core {
namespace {

UnitRow unitRow(const std::string& unit, const std::string& line, const std::string& model) {
    UnitRow row;
    row.unit = unit;
    row.lineCode = line;
    row.listedModel = model;
    row.description = "Compact tractor";
    row.suggestedList = Currency::fromWhole(1200);
    row.dealerList = Currency::fromWhole(1000);
    return row;
}

TEST(ExportRecords, ShortRecords) {
    EXPECT_EQ(shortRecord("AB", "X100", "U7"), "AB" + std::string(2, ' ') + "X100" +
                                                   std::string(21, ' ') + "U7" +
                                                   std::string(34, ' ') + "\n");
    std::string cut = shortRecord("ABCD", std::string(24, 'm') + "MN", std::string(34, 'u') + "UV");
    EXPECT_EQ(cut, "ABC " + std::string(24, 'm') + "M" + std::string(34, 'u') + "U \n");

    // The single unit takes line and model from the row, trailing blanks removed.
    UnitRow row = unitRow("U\xE9", "AB ", "X100" + std::string(22, ' '));
    EXPECT_EQ(singleUnitExport(&row), shortRecord("AB", "X100", "U\xE9"));
    EXPECT_THROW(singleUnitExport(nullptr), EngineError);

    std::vector<UnitRow> pick = {unitRow("U3", "CTR", "M1"), unitRow("U1", "LAW", "M2")};
    EXPECT_EQ(pickListExport(pick),
              shortRecord("CTR", "M1", "U3") + shortRecord("LAW", "M2", "U1"));
    EXPECT_EQ(pickListExport({}), "");
}

TEST(ExportRecords, LongRecords) {
    ExportGridRow row = exportGridRow(unitRow("U7", "CTR", "X100"));
    EXPECT_EQ(row[xcol::kDescription], "Compact tractor");
    EXPECT_EQ(row[xcol::kSuggestedList], "1200.00");
    row[xcol::kWarrantyPeriod] = "123456";
    row[xcol::kExtWarrantyMonths] = "24";
    row[xcol::kPolicyAmount] = "300.00";
    row[xcol::kPolicyCost] = std::string(25, 'c');

    std::string expected(512, ' ');
    auto at = [&](std::size_t pos, const std::string& v) {
        expected.replace(pos - 1, v.size(), v);
    };
    at(1, "CTR");
    at(6, "X100");
    at(31, "U7");
    at(66, "F");
    at(71, "1000.00");  // the net price starts as the dealer list price
    at(91, "12345");
    at(96, "24");
    at(101, "300.00");
    at(121, std::string(20, 'c'));
    EXPECT_EQ(longRecord(row), expected + "\n");

    for (const char* unticked : {"false", "0", "1", "T", "-1 "}) {
        row[xcol::kTax] = unticked;
        EXPECT_EQ(longRecord(row).substr(65, 5), "F    ") << unticked;
    }
    row[xcol::kTax] = "-1";
    EXPECT_EQ(longRecord(row).substr(65, 5), "T    ");
    EXPECT_EQ(longRecordExport({row, row}), longRecord(row) + longRecord(row));
}

// What a typed cell may hold: money an amount of at most two decimals, not negative; months a
// whole number; each within its field. An empty cell is fine.
struct TypedCell {
    std::size_t column;
    const char* typed;
    const char* problem;  // empty: fine
};

class ExportCells : public testing::TestWithParam<TypedCell> {};

TEST_P(ExportCells, AcceptOnlyWhatTheFieldMeans) {
    EXPECT_EQ(exportCellProblem(GetParam().column, GetParam().typed).value_or(""),
              GetParam().problem);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, ExportCells,
    testing::Values(
        TypedCell{xcol::kNet, "950.5", ""}, TypedCell{xcol::kNet, "+950.", ""},
        TypedCell{xcol::kNet, ".25", ""}, TypedCell{xcol::kPolicyAmount, "", ""},
        TypedCell{xcol::kPolicyCost, "12345678901234567.50", ""},
        TypedCell{xcol::kNet, "-5", "is negative"},
        TypedCell{xcol::kNet, "12O0", "is not an amount: digits with at most one point"},
        TypedCell{xcol::kPolicyAmount, "1.2.3", "is not an amount: digits with at most one point"},
        TypedCell{xcol::kPolicyCost, "-", "is not an amount: digits with at most one point"},
        TypedCell{xcol::kNet, "1 000", "is not an amount: digits with at most one point"},
        TypedCell{xcol::kNet, "9.999", "has more than two decimals"},
        TypedCell{xcol::kNet, "123456789012345678901", "is longer than its 20 characters"},
        TypedCell{xcol::kWarrantyPeriod, "12", ""}, TypedCell{xcol::kExtWarrantyMonths, "0", ""},
        TypedCell{xcol::kWarrantyPeriod, "abc", "is not a whole number of months"},
        TypedCell{xcol::kExtWarrantyMonths, "xyz", "is not a whole number of months"},
        TypedCell{xcol::kWarrantyPeriod, "-3", "is not a whole number of months"},
        TypedCell{xcol::kExtWarrantyMonths, "1.5", "is not a whole number of months"},
        TypedCell{xcol::kWarrantyPeriod, "123456", "is longer than its 5 characters"},
        TypedCell{xcol::kTax, "anything", ""}));

// Files that take half of a write and then fail.
class HalfWritingFileSystem : public platform::MemoryFileSystem {
  public:
    std::unique_ptr<platform::File> createNew(const std::string& path) override {
        return std::make_unique<HalfFile>(counters(), MemoryFileSystem::createNew(path));
    }

  private:
    class HalfFile : public platform::File {
      public:
        HalfFile(platform::IoCounters& c, std::unique_ptr<platform::File> inner)
            : File(c), inner_(std::move(inner)) {}
        std::int64_t length() const override { return inner_->length(); }
        bool readOnly() const override { return false; }

      protected:
        std::size_t doRead(std::int64_t, char*, std::size_t) override { return 0; }
        void doWrite(std::int64_t offset, const char* buf, std::size_t n) override {
            inner_->writeAt(offset, buf, n / 2);
            throw platform::IoError("Disk full");
        }

      private:
        std::unique_ptr<platform::File> inner_;
    };
};

const ExportTarget kTarget{"\\\\FS1\\CATCON\\", "\\\\FS1\\CATCON\\unitexport.12", "12"};

std::string failureOf(platform::FileSystem& fs, const std::string& bytes) {
    try {
        writeExportFile(fs, kTarget, bytes);
    } catch (const EngineError& failure) {
        return exportFailureText(failure);
    }
    return "";
}

TEST(ExportWriting, ReplacesTheWholeFileInOneWrite) {
    platform::MemoryFileSystem fs;
    fs.addDirectory(kTarget.share);
    fs.setFile(kTarget.path, std::string(500, 'x'));
    writeExportFile(fs, kTarget, "AB\nCD\n");
    EXPECT_EQ(*fs.contents(kTarget.path), "AB\nCD\n");
    EXPECT_EQ(fs.counters().writes, 1);
    writeExportFile(fs, kTarget, "");
    EXPECT_EQ(*fs.contents(kTarget.path), "");
}

TEST(ExportWriting, FailuresLeaveTheOldFileAsItWas) {
    platform::MemoryFileSystem noShare;
    EXPECT_EQ(failureOf(noShare, "x\n"),
              " Error 76  Path not found\r\n in Add to Invoice function\r\n\r\n"
              "Could not create Export file.");
    EXPECT_EQ(noShare.contents(kTarget.path), nullptr);

    HalfWritingFileSystem half;
    half.addDirectory(kTarget.share);
    half.setFile(kTarget.path, "old\n");
    EXPECT_EQ(failureOf(half, shortRecord("A", "X", "U1")).substr(0, 20), " Error 57  Disk full");
    EXPECT_EQ(*half.contents(kTarget.path), "old\n");
    EXPECT_EQ(half.contents(kTarget.path + ".tmp"), nullptr);
}

// The terminal identifier names the file: anything but letters and digits could name a file
// elsewhere in CATCON (or a folder to make), so the export is refused and nothing is written.
class TerminalIdentifier
    : public ::testing::TestWithParam<std::pair<std::string, bool /*written*/>> {};

TEST_P(TerminalIdentifier, OnlyLettersAndDigitsNameAnExportFile) {
    const auto& [terminal, written] = GetParam();
    cSystem system;
    system.mUNCDrive = "FS1";
    system.xTermid = terminal;
    const ExportTarget target = exportTarget(system);
    platform::MemoryFileSystem fs;
    fs.addDirectory(target.share);
    try {
        writeExportFile(fs, target, "AB\n");
        EXPECT_TRUE(written);
    } catch (const EngineError& refused) {
        EXPECT_FALSE(written);
        EXPECT_EQ(exportFailureText(refused),
                  " Error 52  The terminal identifier \"" + terminal +
                      "\" of the settings file may hold only letters and digits\r\n in Add to "
                      "Invoice function\r\n\r\nCould not create Export file.");
    }
    EXPECT_EQ(fs.paths().size(), written ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Exports, TerminalIdentifier,
                         ::testing::Values(std::pair{"7", true}, std::pair{"12", true},
                                           std::pair{"T2b", true}, std::pair{"", false},
                                           std::pair{"/sub/dir/x", false},
                                           std::pair{"..\\..\\x", false}, std::pair{"7 ", false},
                                           std::pair{"7.tmp", false}, std::pair{"7\x1B[2J", false},
                                           std::pair{"\xE9", false}));

}  // namespace
}  // namespace fennick::core
