// Unit notes, history and sub-ledger records.
#include <gtest/gtest.h>

#include "record_bytes.h"
#include "records/unit_history_pack.h"
#include "records/unit_ledger_pack.h"
#include "records/unit_notes_pack.h"
#include "support/test_share.h"

namespace fennick {
namespace {

using namespace test_support;

std::string note(int type, const std::string& date23, std::int32_t chain = 0) {
    std::string rec(84, '\0');
    put(rec, 1, be(type, 2));
    put(rec, 3, " U10    ");
    put(rec, 11, "  OPT-7     ");
    put(rec, 23, date23);
    put(rec, 25, "  Cab with heater" + std::string(19, ' '));
    put(rec, 61, be(150000, 4));
    put(rec, 81, be(chain, 4));
    return rec;
}

TEST(UnitNotes, TypeDecidesWhatPositions23And24Hold) {
    clsUnitnotes n;
    n.Quantity = 9;
    n.NoteDate = ymd(2001, 2, 3);
    n.Unpack(note(1, be(0, 2)));
    EXPECT_EQ(n.NoteDate, codec::kEmptyDate);
    EXPECT_EQ(n.Quantity, 9);
    n.Unpack(note(3, be(4, 2)));
    EXPECT_EQ(n.Quantity, 4);
    n.Unpack(note(5, be(6, 2)));
    EXPECT_EQ(n.Quantity, 4) << "type 5 sets neither";
    EXPECT_EQ(n.UnitNumber, "U10");
    EXPECT_EQ(n.Code, "OPT-7");
    EXPECT_EQ(n.Description, "Cab with heater");
    EXPECT_EQ(n.Cost.format(), "1500.00");

    std::string rec(84, '\x77');
    Pack(n, rec);
    EXPECT_EQ(at(rec, 23, 2), "\x77\x77") << "type 5 writes neither";
    EXPECT_EQ(at(rec, 3, 8), "U10     ");
    n.NoteType = 1;
    n.NoteDate = ymd(1999, 12, 31);
    Pack(n, rec);
    EXPECT_EQ(at(rec, 23, 2), be(11688, 2));
}

TEST(UnitHistory, WorkLinesAreWrittenWithoutPadding) {
    std::string original = patterned(256);
    clsUnitsHistory h;
    h.Unpack(original);
    std::string target(256, '\xF5');
    Pack(h, target);
    EXPECT_EQ(target, spliced(original, '\xF5', {{3, 175}, {253, 256}}));
    std::string rec = original;
    h.WorkPerformed[1] = "0123456789";
    Pack(h, rec);
    put(original, 67, "0123456789");
    EXPECT_EQ(rec, original) << "only positions 67 to 76 change";
}

TEST(UnitLedger, PackWritesExactlyTheLayout) {
    std::string original = patterned(64);
    clsUnitsLedger l;
    l.Unpack(original);
    std::string target(64, '\xF5');
    Pack(l, target);
    EXPECT_EQ(target, spliced(original, '\xF5', {{3, 52}, {57, 64}}));
}

}  // namespace
}  // namespace fennick
