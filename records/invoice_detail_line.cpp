#include "records/invoice_detail_line.h"

#include <cstdio>

#include "platform/text.h"
#include "records/part_dashes.h"

namespace fennick {

using namespace records;
using D = clsInvoiceHistoryDetail;

namespace {

using Flag = std::int16_t D::*;

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
    return dashPunctuationAlphabet();
}

bool isSerialLine(const D& d) {
    return d.Comment.starts_with(kSerialLine);
}
bool isBackOrderLine(const D& d) {
    return d.Comment.starts_with(kBackOrderLine);
}
bool isUnitLine(const D& d) {
    return d.Comment.starts_with(kUnitLine);
}

void unpackFlags(D& d, const FieldReader& in, const Slot& slot) {
    if (auto word = in.value(slot.kind, slot.position))
        for (std::size_t i = 0; i < std::size(kFlags); ++i)
            d.*kFlags[i] = bitFlag(*word, bitOf(i));
}

void packFlags(const D& d, FieldWriter& out, const Slot& slot) {
    std::int32_t word = 0;
    for (std::size_t i = 0; i < std::size(kFlags); ++i)
        word = withBit(word, bitOf(i), d.*kFlags[i] != 0);
    out.integer(slot.kind, slot.position, word);
}

// The part number: 12 bytes in the plain alphabet, then 2 bytes of dash places (see
// part_dashes.h). Part_w_Dash shows the dashes inserted.
void unpackPart(D& d, const FieldReader& in, const Slot& slot) {
    d.Part_Number = in.compressed(slot.position, slot.width - 2, codec::kPackingAlphabet);
    std::string partAndCode = in.compressed(slot.position, slot.width);
    d.Part_w_Dash = insertDashes(partAndCode.substr(0, 18),
                                 partAndCode.size() > 18 ? partAndCode.substr(18) : "");
}

// A "/" of the part number shows as "-" in Part_w_Dash; keep it a "/" rather than take it for a
// dash, as long as Part_w_Dash is still Part_Number with dashes inserted.
void packPart(const D& d, FieldWriter& out, const Slot& slot) {
    std::optional<DashedPart> kept;
    if (d.Part_Number.find('/') != std::string::npos)
        kept = dashesOver(d.Part_Number, d.Part_w_Dash);
    DashedPart split = kept ? *kept : splitDashes(d.Part_w_Dash);
    out.compressed(slot.position, slot.width - 2, split.part, codec::kPackingAlphabet);
    out.compressed(slot.position + slot.width - 2, 2, split.code);
}

// The serial-number line's number: three digits compressed into two bytes, 0 when they are not
// a number.
void unpackSerialLine(D& d, const FieldReader& in, const Slot& slot) {
    std::string digits = in.compressed(slot.position, slot.width);
    std::string_view trimmed = platform::trimBlanks(digits);
    d.snLine = trimmed.find_first_not_of("0123456789") == std::string_view::npos
                   ? platform::wholeNumber(trimmed).value_or(0)
                   : 0;
}

void packSerialLine(const D& d, FieldWriter& out, const Slot& slot) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%03d", static_cast<int>(d.snLine));
    out.compressed(slot.position, slot.width, digits);
}

// Positions 3-10 of every line.
constexpr Field<D> kLineLayout[] = {
    integer("Invoice_Number", 3, Int::S32, member<&D::Invoice_Number>),
    integer("Item_Number", 7, Int::U16, member<&D::Item_Number>),
    text("Line", 9, 2, Encoding::Plain, member<&D::Line>),
};
static_assert(fitsRecord(kLineLayout, D::kRecordLength));

// A sales line, from 11. A sales line's bytes 11-34 read as Comment too.
constexpr Field<D> kSalesLayout[] = {
    custom<D>("Part_Number, Part_w_Dash", 11, 14, {unpackPart, packPart}),
    text("Description", 25, 14, Encoding::Compressed, member<&D::Description>),
    scaled("Quantity", 39, Int::S16, Scale::Tenths, member<&D::Quantity>),
    scaled("Net_Each", 41, Int::U24, Scale::Cents, member<&D::Net_Each>),
    scaled("Cost_Each", 44, Int::U24, Scale::Cents, member<&D::Cost_Each>),
    scaled("Back_Ordered_Qty", 47, Int::S16, Scale::Tenths, member<&D::Back_Ordered_Qty>),
    text("Commodity", 49, 1, Encoding::Text, member<&D::Commodity>),
    integer("Mechanic_No", 50, Int::U8, member<&D::Mechanic_No>),
    custom<D>("flags", 51, 2, {unpackFlags, packFlags}, Int::U16),
};
static_assert(fitsRecord(kSalesLayout, D::kRecordLength));

// A remark line, from 11: the text, then fields that its first characters select.
constexpr Field<D> kRemarkLayout[] = {
    text("Comment", 11, 24, Encoding::Compressed, member<&D::Comment>),
    only(isSerialLine, custom<D>("snLine", 35, 2, {unpackSerialLine, packSerialLine})),
    only(isSerialLine,
         text("snPartNumber", 37, 12, Encoding::Compressed, member<&D::snPartNumber>)),
    only(isSerialLine, integer("snQtyOrdered", 49, Int::S16, member<&D::snQtyOrdered>)),
    only(isSerialLine, integer("snFactory_Warranty", 51, Int::U8, member<&D::snFactory_Warranty>)),
    only(isBackOrderLine, integer("boRecNumber", 35, Int::U16, member<&D::boRecNumber>)),
    only(isBackOrderLine, day("boDate", 37, member<&D::boDate>)),
    only(isUnitLine, money("UnitNet", 48, member<&D::UnitNet>)),
};
static_assert(fitsRecord(kRemarkLayout, D::kRecordLength));

}  // namespace

Layout<D> clsInvoiceHistoryDetail::lineLayout() {
    return kLineLayout;
}

Layout<D> clsInvoiceHistoryDetail::salesLayout() {
    return kSalesLayout;
}

Layout<D> clsInvoiceHistoryDetail::remarkLayout() {
    return kRemarkLayout;
}

const std::string& clsInvoiceHistoryDetail::alphabet() {
    return dashAlphabet();
}

void clsInvoiceHistoryDetail::Unpack(std::string_view Rec) {
    snLine = 0;
    snPartNumber.clear();
    snQtyOrdered = 0;
    snFactory_Warranty = 0;
    boDate = codec::kDayZero;
    boRecNumber = 0;
    FieldReader in(Rec, alphabet());
    unpackFields(lineLayout(), *this, in);
    unpackField(remarkLayout().front(), *this, in);  // Comment
    if (isRemark()) {
        Part_Number.clear();
        Part_w_Dash.clear();
        Description = Comment;
        Quantity = Net_Each = Cost_Each = Currency();
        Taxable = 0;
        unpackFields(remarkLayout().subspan(1), *this, in);
    } else {
        unpackFields(salesLayout(), *this, in);
    }
}

}  // namespace fennick
