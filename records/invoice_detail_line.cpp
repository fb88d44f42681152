#include "records/invoice_detail_line.h"

#include <cstdio>

#include "platform/text.h"
#include "records/fields.h"
#include "records/part_dashes.h"

namespace fennick {

namespace {

using records::FieldReader;
using records::FieldWriter;
using records::Scale;
using Flag = std::int16_t clsInvoiceHistoryDetail::*;
using D = clsInvoiceHistoryDetail;

// The flags word at 51, from bit 15 down to bit 0.
constexpr Flag kFlags[] = {
    &D::Taxable,      &D::Factory_Freight, &D::Defect,         &D::Rebate,
    &D::Return_Item,  &D::Non_Stock,       &D::Emergency,      &D::Service_Policy,
    &D::Warranty,     &D::Price_Changed,   &D::Estimated_Cost, &D::Cost_Entered,
    &D::Non_Replaced, &D::Pre_Posted,      &D::Trade_In,       &D::Special_Order,
};
constexpr int bitOf(std::size_t index) {
    return 15 - static_cast<int>(index);
}

constexpr std::string_view kSerialLine = "SN-";
constexpr std::string_view kBackOrderLine = "B.O. INV";
constexpr std::string_view kUnitLine = "...UNIT NUMBER...";

const std::string& dashAlphabet() {
    return records::dashPunctuationAlphabet();
}

// The serial-number line's three digits; 0 when they are not a number.
std::int32_t lineNumberOf(std::string_view digits) {
    std::string_view trimmed = platform::trimBlanks(digits);
    if (trimmed.find_first_not_of("0123456789") != std::string_view::npos) return 0;
    return platform::wholeNumber(trimmed).value_or(0);
}

std::string threeDigits(std::int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%03d", static_cast<int>(value));
    return text;
}

}  // namespace

void clsInvoiceHistoryDetail::Unpack(std::string_view Rec) {
    snLine = 0;
    snPartNumber.clear();
    snQtyOrdered = 0;
    snFactory_Warranty = 0;
    boDate = codec::kDayZero;
    boRecNumber = 0;
    FieldReader in(Rec, dashAlphabet());
    in.integer("L", 3, Invoice_Number);
    in.integer("C", 7, Item_Number);
    Line = in.compressed(9, 2, codec::kPackingAlphabet);
    Part_Number = in.compressed(11, 12, codec::kPackingAlphabet);
    std::string partAndCode = in.compressed(11, 14);
    Part_w_Dash = records::insertDashes(partAndCode.substr(0, 18),
                                        partAndCode.size() > 18 ? partAndCode.substr(18) : "");
    Description = in.compressed(25, 14);
    Comment = in.compressed(11, 24);
    if (isRemark())
        unpackRemark(Rec);
    else
        unpackSales(Rec);
}

void clsInvoiceHistoryDetail::unpackRemark(std::string_view Rec) {
    Part_Number.clear();
    Part_w_Dash.clear();
    Description = Comment;
    Quantity = Net_Each = Cost_Each = Currency();
    Taxable = 0;
    FieldReader in(Rec, dashAlphabet());
    if (Comment.starts_with(kSerialLine)) {
        snLine = lineNumberOf(in.compressed(35, 2));
        snPartNumber = in.compressed(37, 12);
        in.integer("J", 49, snQtyOrdered);
        in.integer("B", 51, snFactory_Warranty);
    }
    if (Comment.starts_with(kBackOrderLine)) {
        in.integer("C", 35, boRecNumber);
        in.date(37, boDate);
    }
    if (Comment.starts_with(kUnitLine)) in.money(48, UnitNet);
}

void clsInvoiceHistoryDetail::unpackSales(std::string_view Rec) {
    FieldReader in(Rec);
    in.scaled("J", 39, Scale::Tenths, Quantity);
    in.scaled("D", 41, Scale::Cents, Net_Each);
    in.scaled("D", 44, Scale::Cents, Cost_Each);
    in.scaled("J", 47, Scale::Tenths, Back_Ordered_Qty);
    Commodity = in.text(49, 1);
    in.integer("B", 50, Mechanic_No);
    if (auto word = in.value("C", 51))
        for (std::size_t i = 0; i < std::size(kFlags); ++i)
            this->*kFlags[i] = records::bitFlag(*word, bitOf(i));
}

void clsInvoiceHistoryDetail::Pack(std::string& Rec) const {
    FieldWriter out(Rec, dashAlphabet());
    out.integer("L", 3, Invoice_Number);
    out.integer("C", 7, Item_Number);
    out.compressed(9, 2, Line, codec::kPackingAlphabet);
    if (isRemark())
        packRemark(Rec);
    else
        packSales(Rec);
}

void clsInvoiceHistoryDetail::packRemark(std::string& Rec) const {
    FieldWriter out(Rec, dashAlphabet());
    out.compressed(11, 24, Comment);
    if (Comment.starts_with(kSerialLine)) {
        out.compressed(35, 2, threeDigits(snLine));
        out.compressed(37, 12, snPartNumber);
        out.integer("J", 49, snQtyOrdered);
        out.integer("B", 51, snFactory_Warranty);
    }
    if (Comment.starts_with(kBackOrderLine)) {
        out.integer("C", 35, boRecNumber);
        out.date(37, boDate);
    }
    if (Comment.starts_with(kUnitLine)) out.money(48, UnitNet);
}

void clsInvoiceHistoryDetail::packSales(std::string& Rec) const {
    // A "/" of the part number shows as "-" in Part_w_Dash; keep it a "/" rather than take it
    // for a dash, as long as Part_w_Dash is still Part_Number with dashes inserted.
    std::optional<records::DashedPart> kept;
    if (Part_Number.find('/') != std::string::npos)
        kept = records::dashesOver(Part_Number, Part_w_Dash);
    records::DashedPart split = kept ? *kept : records::splitDashes(Part_w_Dash);
    FieldWriter out(Rec, dashAlphabet());
    out.compressed(11, 12, split.part, codec::kPackingAlphabet);
    out.compressed(23, 2, split.code);
    out.compressed(25, 14, Description);
    out.scaled("J", 39, Scale::Tenths, Quantity);
    out.scaled("D", 41, Scale::Cents, Net_Each);
    out.scaled("D", 44, Scale::Cents, Cost_Each);
    out.scaled("J", 47, Scale::Tenths, Back_Ordered_Qty);
    out.text(49, 1, Commodity);
    out.integer("B", 50, Mechanic_No);
    std::int32_t word = 0;
    for (std::size_t i = 0; i < std::size(kFlags); ++i)
        word = records::withBit(word, bitOf(i), this->*kFlags[i] != 0);
    out.integer("C", 51, word);
}

}  // namespace fennick
