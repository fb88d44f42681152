#include "records/lines_pack.h"

#include <gtest/gtest.h>

#include "engine/engine_writer.h"
#include "record_bytes.h"
#include "records/line_collection.h"
#include "support/test_share.h"

namespace fennick {
namespace {

using namespace test_support;

std::string comodiKey(int line, char code) {
    return be(line, 2) + code + '\0';
}

// A line record as LINEL (1-128) followed by ELINEL (129-256).
std::string lineRecord(int line, char comodity, char type = 'U', int inUse = 1) {
    std::string rec(256, '\0');
    put(rec, 1, be(inUse, 2));
    put(rec, 3, be(line, 2));
    put(rec, 5, squeezed("ABC"));
    put(rec, 7, squeezed("TRACTORS", 20));
    put(rec, 28, std::string(1, comodity));
    put(rec, 57, be(-15, 2));      // Price_Def_2_Perc
    put(rec, 83, be(3, 4));        // MTD_No_Sales
    put(rec, 87, be(2500, 4));     // MTD_Sales 25.00
    put(rec, 95, be(10, 4));       // YTD_No_Sales without the month
    put(rec, 99, be(10000, 4));    // YTD_Sales without the month
    put(rec, 137, be(0x1234, 2));  // SerPol_List_Perc_3
    put(rec, 142, std::string(1, type));
    put(rec, 219, be(-7, 4));  // EOY_Freight_Cost, in ELINEL
    return rec;
}

class LineFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        share.writer.addDataFile(
            "DEALER:LINES.DR",
            {{"LINEL", "L", 128, 6}, {"ELINEL", "L", 128, 6}, {"COMODI", "I", 512, 4}});
        share.writer.writeLinks();
        bb = &share.open();
        tools::writeIndex(*bb, "COMODI", 4,
                          {{comodiKey(5, 'A'), 1},
                           {comodiKey(5, 'C'), 2},
                           {comodiKey(5, 'F'), 3},
                           {comodiKey(6, 'B'), 4},
                           {comodiKey(8, 'D'), 5}},
                          false);
    }
    void writeLine(std::int32_t number, const std::string& rec) {
        EngineWriter(*bb).LwriteFile("LINEL", number, rec.substr(0, 128));
        EngineWriter(*bb).LwriteFile("ELINEL", number, rec.substr(128, 128));
    }
    TestShare share;
    cBusinessBasic* bb = nullptr;
};

TEST_F(LineFiles, LineTypeIsNormalisedAndYearToDateIncludesTheMonth) {
    clsLines line(*bb);
    for (auto [stored, read] : {std::pair{'R', "R"}, {'X', "P"}, {' ', "P"}, {'U', "U"}}) {
        line.Unpack(lineRecord(5, 'A', stored));
        EXPECT_EQ(line.Line_Type, read) << "stored " << stored;
    }
    EXPECT_EQ(line.YTD_Sales.format(), "125.00");
    EXPECT_EQ(line.YTD_No_Sales, 13);
    std::string rec(256, '\0');
    Pack(line, rec);
    EXPECT_EQ(at(rec, 99, 4), be(10000, 4));
    EXPECT_EQ(at(rec, 95, 4), be(10, 4));
}

TEST_F(LineFiles, ComoditiesListTheOwnCodeThenTheLinesFurtherCodes) {
    clsLines line(*bb);
    line.Unpack(lineRecord(5, 'A'));
    EXPECT_EQ(line.Comodities, (std::vector<std::string>{"A", "C", "F"}));
    line.Unpack(lineRecord(7, 'Q'));
    EXPECT_EQ(line.Comodities, (std::vector<std::string>{"Q"}));
    // The own code missing from COMODI does not cost the line its first further code.
    line.Unpack(lineRecord(8, 'A'));
    EXPECT_EQ(line.Comodities, (std::vector<std::string>{"A", "D"}));
}

TEST_F(LineFiles, SeasonalCodesShareBytesWithTheDateAndCost) {
    clsLines line(*bb);
    line.Seas_ReOrder_Codes = "VWXYZ";
    line.Seas_Date_Last_Gen = ymd(2009, 12, 5);
    line.EOM_Mdse_Cost = 0x41424344;
    std::string rec(256, '\0');
    Pack(line, rec);
    EXPECT_EQ(at(rec, 203, 8), "VW" + day(ymd(2009, 12, 5)) + be(0x41424344, 4));
    line.Unpack(rec);
    EXPECT_EQ(line.Seas_ReOrder_Codes, "VW" + day(ymd(2009, 12, 5)) + "A");
}

TEST_F(LineFiles, PackWritesExactlyTheLayout) {
    std::string original = patterned(256);
    put(original, 83, be(3, 4) + be(2500, 4) + be(-400, 4) + be(10, 4) + be(10000, 4) + be(7, 4));
    put(original, 124, "Y");
    put(original, 142, "R");
    clsLines line(*bb);
    line.Unpack(original);
    std::string target(256, '\xF5');
    Pack(line, target);
    EXPECT_EQ(target, spliced(original, '\xF5', {{3, 29}, {33, 191}, {193, 198}, {203, 222}}));
}

TEST_F(LineFiles, ReadTakesBothFilesAndRefusesNumbersOutsideTheFile) {
    writeLine(2, lineRecord(5, 'A'));
    clsLines line(*bb);
    line.Read(2);
    EXPECT_EQ(line.RecNo, 2);
    EXPECT_EQ(line.Alpha_Line, "ABC");
    EXPECT_EQ(line.Line_Name, "TRACTORS" + std::string(22, ' '));
    EXPECT_EQ(line.Price_Def_2_Perc, -15);
    EXPECT_EQ(line.SerPol_List_Perc_3, 0x1234);
    EXPECT_EQ(line.EOY_Freight_Cost, -7) << "from ELINEL";
    for (std::int32_t bad : {0, 7}) {
        try {
            line.Read(bad);
            ADD_FAILURE() << "record " << bad << " was read";
        } catch (const EngineError& e) {
            EXPECT_EQ(e.number(), 81);
            EXPECT_EQ(e.description(), "Illegal Record Number");
        }
    }
    EXPECT_EQ(line.RecNo, 2);
}

TEST_F(LineFiles, CollectionHoldsLiveLinesBelow1000ByNumber) {
    writeLine(1, lineRecord(5, 'A'));
    writeLine(2, lineRecord(6, 'B', 'U', 0));
    writeLine(3, lineRecord(1000, 'C'));
    writeLine(4, lineRecord(7, 'Q'));
    clnLines lines(*bb);
    ASSERT_EQ(lines.Count(), 2);
    EXPECT_EQ(lines.Item("5")->RecNo, 1);
    EXPECT_EQ(lines.Item("7")->RecNo, 4);
    EXPECT_EQ(lines.Item(2)->Line, 7);
    EXPECT_EQ(lines.find("6"), nullptr);

    writeLine(6, lineRecord(7, 'Z'));
    try {
        clnLines twice(*bb);
        ADD_FAILURE() << "a second line 7 was accepted";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.number(), 457);
    }
}

}  // namespace
}  // namespace fennick
