#include "records/invoice_detail_line_pack.h"

#include <gtest/gtest.h>

#include "record_bytes.h"

namespace fennick {
namespace {

using namespace test_support;

std::string salesLine(const std::string& part, const std::string& code) {
    std::string rec(56, '\0');
    put(rec, 3, be(123456, 4));
    put(rec, 7, be(2, 2));
    put(rec, 9, squeezed("PRT"));
    put(rec, 11, squeezed(part, 12));
    put(rec, 23, squeezed(code, 2));
    put(rec, 25, squeezed("HYDRAULIC FILTER", 14));
    put(rec, 39, be(-15, 2));
    put(rec, 41, be(123456, 3));
    put(rec, 44, be(999, 3));
    put(rec, 47, be(25, 2));
    put(rec, 49, "C");
    put(rec, 50, be(3, 1));
    put(rec, 51, be(0x8001, 2));
    return rec;
}

std::string remarkLine(const std::string& text) {
    std::string rec(56, '\0');
    put(rec, 9, squeezed("REM"));
    put(rec, 11, squeezedDash(text, 24));
    return rec;
}

TEST(DetailLine, DashCodePlacesDashesAndPackTakesThemOut) {
    clsInvoiceHistoryDetail d;
    d.Unpack(salesLine("AB12345", "36"));
    EXPECT_EQ(d.Part_Number, "AB12345" + std::string(11, ' '));
    EXPECT_EQ(d.Part_w_Dash, "AB-12-345" + std::string(11, ' '));
    std::string rec(56, '\0');
    d.Part_w_Dash = "AB-12-345";
    Pack(d, rec);
    EXPECT_EQ(at(rec, 11, 12), squeezed("AB12345", 12));
    EXPECT_EQ(at(rec, 23, 2), squeezed("36"));

    d.Part_w_Dash = " A-B-C-D-E ";
    Pack(d, rec);
    EXPECT_EQ(at(rec, 11, 12), squeezed("ABCDE", 12));
    EXPECT_EQ(at(rec, 23, 2), squeezed("246")) << "only three dashes fit";
}

TEST(DetailLine, SlashShowsAsDashYetSurvivesPacking) {
    std::string original = salesLine("AB/1234", "5");
    clsInvoiceHistoryDetail d;
    d.Unpack(original);
    EXPECT_EQ(d.Part_Number.substr(0, 7), "AB/1234");
    EXPECT_EQ(d.Part_w_Dash.substr(0, 8), "AB-1-234");
    std::string rec(56, '\x33');
    Pack(d, rec);
    EXPECT_EQ(rec, spliced(original, '\x33', {{3, 52}}));

    d.Part_w_Dash = "AB-99";  // edited: no longer the part number with dashes
    Pack(d, rec);
    EXPECT_EQ(at(rec, 11, 12), squeezed("AB99", 12));
    EXPECT_EQ(at(rec, 23, 2), squeezed("3"));
}

TEST(DetailLine, SalesLineValuesAndFlags) {
    clsInvoiceHistoryDetail d;
    d.Unpack(salesLine("P1", ""));
    EXPECT_EQ(d.Invoice_Number, 123456);
    EXPECT_EQ(d.Item_Number, 2);
    EXPECT_EQ(d.Line, "PRT");
    EXPECT_EQ(d.Quantity, -Currency::fromTenths(15));
    EXPECT_EQ(d.Net_Each.format(), "1234.56");
    EXPECT_EQ(d.Cost_Each.format(), "9.99");
    EXPECT_EQ(d.Back_Ordered_Qty, Currency::fromTenths(25));
    EXPECT_EQ(d.Commodity, "C");
    EXPECT_EQ(d.Taxable, 1);
    EXPECT_EQ(d.Special_Order, 1);
    EXPECT_EQ(d.Factory_Freight + d.Defect + d.Warranty + d.Trade_In, 0);
    EXPECT_EQ(d.Description, "HYDRAULIC FILTER     ");
}

TEST(DetailLine, UnitRemarkCarriesTheNetAmount) {
    std::string rec = remarkLine("...UNIT NUMBER... U1001");
    put(rec, 48, be(1234567, 4));
    clsInvoiceHistoryDetail d;
    d.Unpack(salesLine("AB12345", "3"));
    d.Unpack(rec);
    EXPECT_EQ(d.UnitNet.format(), "12345.67");
    EXPECT_EQ(d.Quantity, Currency());
    EXPECT_EQ(d.Net_Each, Currency());
    EXPECT_EQ(d.Taxable, 0);
    EXPECT_EQ(d.Part_Number, "");
    EXPECT_EQ(d.Part_w_Dash, "");
    EXPECT_EQ(d.Description, d.Comment);
    EXPECT_EQ(d.Comment.substr(0, 23), "...UNIT NUMBER... U1001");
    std::string back = rec;
    Pack(d, back);
    EXPECT_EQ(back, rec);
}

TEST(DetailLine, SerialAndBackOrderRemarks) {
    std::string serial = remarkLine("SN-4711");
    put(serial, 35, squeezed("007"));
    put(serial, 37, squeezed("MOWER-DECK", 12));
    put(serial, 49, be(-2, 2));
    put(serial, 51, be(12, 1));
    clsInvoiceHistoryDetail d;
    d.Unpack(serial);
    EXPECT_EQ(d.snLine, 7);
    EXPECT_EQ(d.snPartNumber.substr(0, 10), "MOWER DECK");
    EXPECT_EQ(d.snQtyOrdered, -2);
    EXPECT_EQ(d.snFactory_Warranty, 12);
    std::string back = serial;
    Pack(d, back);
    EXPECT_EQ(back, serial);

    put(serial, 35, squeezed("0A7"));
    d.Unpack(serial);
    EXPECT_EQ(d.snLine, 0) << "not a number";

    std::string backOrder = remarkLine("B.O. INV 5521");
    put(backOrder, 35, be(321, 2));
    put(backOrder, 37, day(ymd(2009, 12, 5)));
    d.Unpack(backOrder);
    EXPECT_EQ(d.boRecNumber, 321);
    EXPECT_EQ(d.boDate, ymd(2009, 12, 5));
    EXPECT_EQ(d.snQtyOrdered, 0) << "serial fields are reset";

    d.Unpack(remarkLine("  ON S.N. 4711"));
    EXPECT_EQ(d.boRecNumber, 0);
    EXPECT_EQ(d.boDate, codec::kDayZero);
}

}  // namespace
}  // namespace fennick
