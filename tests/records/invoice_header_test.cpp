#include "records/invoice_header_pack.h"

#include <gtest/gtest.h>

#include "record_bytes.h"

namespace fennick {
namespace {

using namespace test_support;

std::string header(int status) {
    std::string rec(160, '\0');
    put(rec, 1, be(status, 2));
    put(rec, 3, be(0x010203, 3) + "\x04");  // Account: 3 bytes (invoice) or 4 (shop)
    put(rec, 123, be(1, 1));
    put(rec, 125, be(10000, 4));
    return rec;
}

TEST(InvoiceHeader, StatusSelectsTheLayout) {
    clsInvoiceHistory h;
    h.Unpack(header(80));
    EXPECT_TRUE(h.Shop);
    EXPECT_EQ(h.Account, 0x01020304);
    h.Unpack(header(3));
    EXPECT_FALSE(h.Shop);
    EXPECT_EQ(h.Account, 0x010203);

    clsInvoiceHistory kept;
    kept.Unpack(header(81));
    kept.Account = 5;
    std::string other = header(50);
    put(other, 124, be(9, 1));
    kept.Unpack(other);
    EXPECT_EQ(kept.Record_Status, 50);
    EXPECT_TRUE(kept.Shop) << "only the common fields are read";
    EXPECT_EQ(kept.Account, 5);
    EXPECT_EQ(kept.Delivery_Code, 9);
}

TEST(InvoiceHeader, ManualInvoiceAddsTwentyToTheType) {
    std::string rec = header(1);
    put(rec, 123, be(22, 1));
    clsInvoiceHistory h;
    h.Unpack(rec);
    EXPECT_TRUE(h.ManualInvoice);
    EXPECT_EQ(h.Transaction_Type, 2);
    Pack(h, rec);
    EXPECT_EQ(at(rec, 123, 1), be(22, 1));
    EXPECT_EQ(h.Transaction_Type, 22) << "Pack stores the type in the property too";

    put(rec, 1, be(80, 2));
    h.Unpack(rec);
    EXPECT_FALSE(h.ManualInvoice);
    EXPECT_EQ(h.Transaction_Type, 22) << "a work order keeps the stored type";
}

// Credits carry type 3 or 4 and a negative Sub_Total; in memory they are types 1 and 2.
TEST(InvoiceHeader, CreditTypesFollowTheSignOfTheSubTotal) {
    std::string credit = header(1);
    put(credit, 123, be(23, 1));
    put(credit, 125, be(-4500, 4));
    clsInvoiceHistory h;
    h.Unpack(credit);
    EXPECT_EQ(h.Transaction_Type, 1);
    EXPECT_EQ(h.Sub_Total.format(), "-45.00");
    std::string rec(160, '\0');
    Pack(h, rec);
    EXPECT_EQ(at(rec, 123, 1), be(23, 1));

    std::string sale = header(1);
    put(sale, 123, be(4, 1));
    h.Unpack(sale);
    EXPECT_EQ(h.Transaction_Type, 4) << "a positive total keeps type 4";
    h.Transaction_Type = 2;
    h.ManualInvoice = false;
    Pack(h, sale);
    EXPECT_EQ(at(sale, 123, 1), be(2, 1));
}

TEST(InvoiceHeader, InvoiceFieldsAndFlags) {
    std::string rec = header(3);
    put(rec, 58, be(-150, 3));
    put(rec, 63, be(5 | 0x8000, 2));
    put(rec, 116, be(0x26, 1));
    put(rec, 141, "\xFF\xFF\xFF");
    put(rec, 151, be(0x0A0B0C0D, 4));
    clsInvoiceHistory h;
    h.Unpack(rec);
    EXPECT_EQ(h.Deposit.format(), "-1.50");
    EXPECT_EQ(h.Voided, 1);
    EXPECT_EQ(h.Printed, 1);
    EXPECT_EQ(h.CreatedByEDI + h.Pay_As_Sold + h.Settled + h.WarrantyUpdated, 0);
    EXPECT_EQ(h.Partial_Ship, 1);
    EXPECT_EQ(h.Back_Orders, 1);
    EXPECT_EQ(h.Dated, 1);
    EXPECT_EQ(h.Drop_Ship, 0);
    EXPECT_EQ(h.ShipTo, h.Account) << "all ones: ship to the account";
    EXPECT_EQ(h.Price_Code, 0x0A0B);
    EXPECT_EQ(h.Packing_Slip_No, 0);

    put(rec, 1, be(2, 2));
    put(rec, 141, be(0x800001, 3));
    h.Unpack(rec);
    EXPECT_EQ(h.Packing_Slip_No, 0x0A0B0C0D) << "status 2 holds a packing slip";
    EXPECT_EQ(h.ShipTo, 0x800001) << "read unsigned";
}

TEST(InvoiceHeader, ShopFieldsAndArrays) {
    std::string rec = header(81);
    put(rec, 10, be(300, 2));
    put(rec, 14, be(12345, 3));
    put(rec, 23, day(ymd(2009, 12, 5)));
    put(rec, 97, be(77, 2));
    put(rec, 100, be(4, 1));
    put(rec, 116, be(0x40, 1));
    put(rec, 117, be(66, 2));
    put(rec, 121, be(9, 1));
    put(rec, 124, be(6, 1));
    clsInvoiceHistory h;
    h.Unpack(rec);
    EXPECT_EQ(h.ReplacementEstimate.format(), "300.00");
    EXPECT_EQ(h.Meter, Currency::fromTenths(12345));
    EXPECT_EQ(h.CallDates[1], ymd(2009, 12, 5));
    EXPECT_EQ(h.WarrVend[0], 66);
    EXPECT_EQ(h.WarrVend[1], 77);
    EXPECT_TRUE(h.Rental);
    EXPECT_EQ(h.CallStatus[1], 9);
    EXPECT_EQ(h.Delivery_Code, 6) << "the common field at 124 holds";
}

TEST(InvoiceHeader, BothLayoutsPackBackTheirBytes) {
    for (int status : {3, 80}) {
        std::string original = patterned(200, status);
        put(original, 1, be(status, 2));
        put(original, 123, be(status == 80 ? 35 : 2, 1));
        put(original, 125, be(1000, 4));
        put(original, 100, at(original, 124, 1));  // the shop's delivery code is the common one
        put(original, 141, be(0x123456, 3));
        clsInvoiceHistory h;
        h.Unpack(original);
        std::string rec = original;
        Pack(h, rec);
        EXPECT_EQ(rec, original) << "status " << status;
    }
}

}  // namespace
}  // namespace fennick
