#include "records/invoice_header.h"

#include "records/fields.h"

namespace fennick {

namespace {
constexpr std::int32_t kManualInvoiceOffset = 20;
}  // namespace

bool clsInvoiceHistory::isInvoiceStatus(std::int32_t status) {
    switch (status) {
        case 1:
        case 2:
        case 3:
        case 13:
        case 17:
        case 19:
        case 99:
            return true;
        default:
            return false;
    }
}

bool clsInvoiceHistory::isShopStatus(std::int32_t status) {
    return status == 80 || status == 81;
}

void clsInvoiceHistory::Unpack(std::string_view Rec) {
    records::FieldReader(Rec).integer("J", 1, Record_Status);
    if (isInvoiceStatus(Record_Status)) {
        Shop = false;
        unpackInvoice(Rec);
    } else if (isShopStatus(Record_Status)) {
        Shop = true;
        unpackShop(Rec);
    }
    unpackCommon(Rec);
}

void clsInvoiceHistory::unpackCommon(std::string_view Rec) {
    records::FieldReader in(Rec);
    in.integer("J", 1, Record_Status);
    in.integer("C", 12, AlternateTaxCode);
    in.integer("B", 113, COUNTERMAN_Number);
    in.integer("B", 114, Salesman_Number);
    in.integer("B", 123, Transaction_Type);
    in.integer("B", 124, Delivery_Code);
    in.money(125, Sub_Total);
    in.integer("J", 129, Disc_Percentage);
    in.money(131, Discount_Amount);
    in.integer("C", 135, Tax_Rate);
    in.money(137, Tax_Amount);
    in.integer("B", 145, Department);
    Sales_Code = in.text(147, 1);
    Tax_Code = in.text(148, 1);
    in.integer("B", 149, Tax_Rate_Code);
    in.integer("B", 157, Terms_Code);
    // A manual invoice stores its type plus 20.
    if (!Shop) Transaction_Type %= 10;
    // A credit (negative Sub_Total) is stored as type 3 or 4 and read as the sale type 1 or 2.
    // Keying on the positive sign instead would turn every ordinary sale into 3 or 4 on Pack.
    if (Sub_Total < Currency() && (Transaction_Type == 3 || Transaction_Type == 4))
        Transaction_Type -= 2;
}

void clsInvoiceHistory::Pack(std::string& Rec) {
    if (isInvoiceStatus(Record_Status))
        packInvoice(Rec);
    else if (isShopStatus(Record_Status))
        packShop(Rec);
    packCommon(Rec);
}

void clsInvoiceHistory::packCommon(std::string& Rec) {
    if (Sub_Total < Currency() && (Transaction_Type == 1 || Transaction_Type == 2))
        Transaction_Type += 2;
    if (ManualInvoice) Transaction_Type += kManualInvoiceOffset;
    records::FieldWriter out(Rec);
    out.integer("J", 1, Record_Status);
    out.integer("C", 12, AlternateTaxCode);
    out.integer("B", 113, COUNTERMAN_Number);
    out.integer("B", 114, Salesman_Number);
    out.integer("B", 123, Transaction_Type);
    out.integer("B", 124, Delivery_Code);
    out.money(125, Sub_Total);
    out.integer("J", 129, Disc_Percentage);
    out.money(131, Discount_Amount);
    out.integer("C", 135, Tax_Rate);
    out.money(137, Tax_Amount);
    out.integer("B", 145, Department);
    out.text(147, 1, Sales_Code);
    out.text(148, 1, Tax_Code);
    out.integer("B", 149, Tax_Rate_Code);
    out.integer("B", 157, Terms_Code);
}

}  // namespace fennick
