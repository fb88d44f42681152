#include "records/units_pack.h"

#include <gtest/gtest.h>

#include "record_bytes.h"

namespace fennick {
namespace {

using namespace test_support;

std::string unitRecord() {
    std::string rec(512, '\0');
    put(rec, 3, be(0x0102, 2));
    put(rec, 5, squeezed("WS-1234/ABCDEFGHIJK", 14));
    put(rec, 20, "U1001   ");
    put(rec, 101, be(70000, 3));
    put(rec, 112, be(-5, 4));
    put(rec, 147, day(ymd(2009, 12, 5)));
    put(rec, 155, be(1234567, 4));
    put(rec, 159, be(-250, 4));
    put(rec, 177, squeezed("FLOOR1234567", 8).substr(0, 7));
    put(rec, 210, be(200, 1));
    put(rec, 501, be(7, 4) + be(40, 4) + be(0x01020304, 4));
    return rec;
}

TEST(UnitRecord, FieldsComeFromTheirPositions) {
    clsUnits unit;
    unit.Unpack(unitRecord());
    EXPECT_EQ(unit.Line, 258);
    EXPECT_EQ(unit.Model_Number_W_Dash, "WS 1234/ABCDEFGHIJK  ") << "'-' is not in the alphabet";
    EXPECT_EQ(unit.Model_Number, "WS 1234/ABCDEFGHIJ");
    EXPECT_EQ(unit.Unit_Number, "U1001   ");
    EXPECT_EQ(unit.Meter_Reading, 70000);
    EXPECT_EQ(unit.Location_of_Unit, std::string(6, '\0') + "\xFF") << "7th byte is the numeric's";
    EXPECT_EQ(unit.User_Defined_Numeric_1, -5);
    EXPECT_EQ(unit.Date_Received_In, ymd(2009, 12, 5));
    EXPECT_EQ(unit.Date_Sold, codec::kEmptyDate) << "day 0: unsold";
    EXPECT_EQ(unit.Dealers_List_Price.format(), "12345.67");
    EXPECT_EQ(unit.Suggested_LIst_Price.format(), "-2.50");
    EXPECT_EQ(unit.Flooring_Number.size(), 12u) << "7 bytes decode as if an 8th NUL followed";
    EXPECT_EQ(unit.Flooring_Number.substr(0, 9), "FLOOR1234");
    EXPECT_EQ(unit.Selling_Salesman_Number, 200);
    EXPECT_EQ(unit.NoteChain, 7);
    EXPECT_EQ(unit.SubLedgerChain, 40);
    EXPECT_EQ(unit.HistoryChain, 0x01020304);
}

TEST(UnitRecord, PackWritesExactlyTheLayout) {
    std::string original = patterned(520);
    clsUnits unit;
    unit.Unpack(original);
    std::string target(520, '\xF5');
    Pack(unit, target);
    EXPECT_EQ(target, spliced(original, '\xF5', {{3, 18}, {20, 232}, {501, 512}}));
}

TEST(UnitRecord, OverlapsFollowTheOrderOfWritingAndMoneyIsInCents) {
    clsUnits unit;
    std::string rec(512, '\x11');
    unit.Model_Number = "SHORT";
    unit.Model_Number_W_Dash = "ABCDEFGHIJKLMNOPQRSTU";
    unit.Location_of_Unit = "LOT7ROW";
    unit.User_Defined_Numeric_1 = 0x41424344;
    unit.Dealers_List_Price = *Currency::parse("12345.67");
    unit.Suggested_LIst_Price = Currency::fromWhole(30'000'000);  // 3e9 cents: too large
    Pack(unit, rec);
    EXPECT_EQ(at(rec, 106, 10), "LOT7RO" + be(0x41424344, 4));
    EXPECT_EQ(at(rec, 155, 8), be(1234567, 4) + "\x11\x11\x11\x11");
    clsUnits back;
    back.Unpack(rec);
    EXPECT_EQ(back.Model_Number_W_Dash, "ABCDEFGHIJKLMNOPQRSTU");
    EXPECT_EQ(back.Model_Number, "ABCDEFGHIJKLMNOPQR");
    EXPECT_EQ(back.Location_of_Unit, "LOT7ROA");
}

TEST(UnitRecord, ShortRecordsSetWhatTheyHoldAndKeepTheRest) {
    clsUnits unit;
    unit.NoteChain = 11;
    unit.HistoryChain = 13;
    unit.Unpack(unitRecord().substr(0, 300));
    EXPECT_EQ(unit.Dealers_List_Price.format(), "12345.67");
    EXPECT_EQ(unit.NoteChain, 11);
    EXPECT_EQ(unit.HistoryChain, 13);
    unit.Meter_Reading = 99;
    unit.Unpack(unitRecord().substr(0, 109));
    EXPECT_EQ(unit.Location_of_Unit, std::string(4, '\0')) << "text takes what is there";
    EXPECT_EQ(unit.Meter_Reading, 70000);
    unit.Meter_Reading = 99;
    unit.Unpack(unitRecord().substr(0, 102));
    EXPECT_EQ(unit.Meter_Reading, 99) << "a number cut by the end keeps its value";

    std::string shortRec(147, 'x');
    unit.Unit_Number = "ABCDEFGHIJ";
    Pack(unit, shortRec);
    EXPECT_EQ(shortRec.size(), 147u);
    EXPECT_EQ(at(shortRec, 20, 8), "ABCDEFGH");
    EXPECT_EQ(at(shortRec, 147, 1), "x") << "a date cut by the end is skipped";
}

}  // namespace
}  // namespace fennick
