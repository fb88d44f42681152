// The three layouts of clsInvoiceHistory: the invoice, the shop work order and the fields every
// status shares.
#include "records/invoice_header.h"

namespace fennick {

using namespace records;
using H = clsInvoiceHistory;

namespace {

using Flag = std::int16_t H::*;

struct FlagBit {
    Flag flag;
    int bit;
};
// The invoice's flags word at 63.
constexpr FlagBit kInvoiceFlags[] = {
    {&H::Voided, 0},          {&H::CreatedByEDI, 1},    {&H::Printed, 2},
    {&H::Pay_As_Sold, 3},     {&H::Settled, 4},         {&H::NonDemandSale, 5},
    {&H::EmergencyOrder, 6},  {&H::FarmPlanInvoice, 7}, {&H::PickTicketLabelPrinted, 8},
    {&H::WarrantyUpdated, 9},
};
// The invoice's shipping flags at 116.
constexpr FlagBit kShippingFlags[] = {
    {&H::Partial_Ship, 1}, {&H::Back_Orders, 2}, {&H::Drop_Ship, 4}, {&H::Dated, 5}};
constexpr int kRentalBit = 6;
constexpr std::int32_t kAllOnes = -1;  // ShipTo stored as all ones: ship to the account

// A flags word: unpack sets each listed flag from its bit; pack changes only the listed bits of
// the stored word and leaves the others as they were.
template <const auto& Bits>
void unpackFlags(H& h, const FieldReader& in, const Slot& slot) {
    if (auto word = in.value(slot.kind, slot.position))
        for (const auto& b : Bits)
            h.*b.flag = bitFlag(*word, b.bit);
}

template <const auto& Bits>
void packFlags(const H& h, FieldWriter& out, const Slot& slot) {
    auto word = out.stored().value(slot.kind, slot.position);
    if (!word) return;
    for (const auto& b : Bits)
        *word = withBit(*word, b.bit, h.*b.flag != 0);
    out.integer(slot.kind, slot.position, *word);
}

void unpackRental(H& h, const FieldReader& in, const Slot& slot) {
    if (auto word = in.value(slot.kind, slot.position)) h.Rental = bitFlag(*word, kRentalBit) != 0;
}

void packRental(const H& h, FieldWriter& out, const Slot& slot) {
    if (auto word = out.stored().value(slot.kind, slot.position))
        out.integer(slot.kind, slot.position, withBit(*word, kRentalBit, h.Rental));
}

// The transaction type byte tells a manual invoice (type plus 20); packCommon writes the byte.
void unpackManual(H& h, const FieldReader& in, const Slot& slot) {
    if (auto type = in.value(slot.kind, slot.position))
        h.ManualInvoice = *type > H::kManualInvoiceOffset;
}

void packNothing(const H&, FieldWriter&, const Slot&) {}

// ShipTo: three bytes, all ones (or a negative number) meaning the invoice's own account.
void unpackShipTo(H& h, const FieldReader& in, const Slot& slot) {
    auto stored = in.value(Int::S24, slot.position);
    if (!stored) return;
    std::int32_t shipTo = *stored == kAllOnes ? kAllOnes : *in.value(Int::U24, slot.position);
    h.ShipTo = shipTo < 0 ? h.Account : shipTo;
}

// Unpack reads all ones as "ship to the account"; write that form back for it.
void packShipTo(const H& h, FieldWriter& out, const Slot& slot) {
    out.integer(Int::U24, slot.position, h.ShipTo == h.Account ? kAllOnes : h.ShipTo);
}

// Position 151: the packing slip number (4 bytes) of a status-2 invoice, else the price code
// (2 bytes). Pack writes the price code, then a packing slip number that is not 0 over it.
void unpackPriceOrSlip(H& h, const FieldReader& in, const Slot& slot) {
    if (h.Record_Status == 2)
        in.integer(Int::S32, slot.position, h.Packing_Slip_No);
    else
        in.integer(Int::U16, slot.position, h.Price_Code);
}

void packPriceOrSlip(const H& h, FieldWriter& out, const Slot& slot) {
    out.integer(Int::U16, slot.position, h.Price_Code);
    if (h.Packing_Slip_No != 0) out.integer(Int::S32, slot.position, h.Packing_Slip_No);
}

constexpr Field<H> kInvoiceLayout[] = {
    integer("Account", 3, Int::U24, member<&H::Account>),
    day("Invoice_Date", 48, member<&H::Invoice_Date>),
    integer("Invoice_Time", 50, Int::U16, member<&H::Invoice_Time>),
    integer("Terminal", 54, Int::U8, member<&H::Terminal>),
    day("DateDue", 55, member<&H::DateDue>),
    integer("UPSBoxes", 57, Int::U8, member<&H::UPSBoxes>),
    scaled("Deposit", 58, Int::S24, Scale::Cents, member<&H::Deposit>),
    integer("Future_Ship", 61, Int::U16, member<&H::Future_Ship>),
    day("Future_Ship_Date", 61, member<&H::Future_Ship_Date>),
    custom<H>("invoice flags", 63, 2, {unpackFlags<kInvoiceFlags>, packFlags<kInvoiceFlags>},
              Int::U16),
    integer("Pay_type_1", 65, Int::U8, member<&H::Pay_type_1>),
    scaled("Pay_Amount_1", 66, Int::S24, Scale::Cents, member<&H::Pay_Amount_1>),
    integer("Pay_type_2", 69, Int::U8, member<&H::Pay_type_2>),
    scaled("Pay_Amount_2", 70, Int::S24, Scale::Cents, member<&H::Pay_Amount_2>),
    integer("Pay_type_3", 73, Int::U8, member<&H::Pay_type_3>),
    scaled("Pay_Amount_3", 74, Int::S24, Scale::Cents, member<&H::Pay_Amount_3>),
    text("Attention_of", 86, 20, Encoding::Compressed, member<&H::Attention_of>),
    integer("Invoice_Number", 106, Int::S32, member<&H::Invoice_Number>),
    integer("Number_of_Pages", 115, Int::U8, member<&H::Number_of_Pages>),
    custom<H>("shipping flags", 116, 1, {unpackFlags<kShippingFlags>, packFlags<kShippingFlags>},
              Int::U8),
    text("Purchase_Order_No", 117, 6, Encoding::Compressed, member<&H::Purchase_Order_No>),
    custom<H>("ManualInvoice", 123, 1, {unpackManual, packNothing}, Int::U8),
    custom<H>("ShipTo", 141, 3, {unpackShipTo, packShipTo}, Int::U24),
    custom<H>("Price_Code or Packing_Slip_No", 151, 4, {unpackPriceOrSlip, packPriceOrSlip}),
    integer("Category", 156, Int::U8, member<&H::Category>),
    scaled("Down_Payment", 158, Int::S24, Scale::Cents, member<&H::Down_Payment>),
};
static_assert(fitsRecord(kInvoiceLayout, H::kRecordLength));

constexpr Field<H> kShopLayout[] = {
    integer("Account", 3, Int::S32, member<&H::Account>),
    integer("ShipTo", 7, Int::U24, member<&H::ShipTo>),
    scaled("ReplacementEstimate", 10, Int::U16, Scale::Whole, member<&H::ReplacementEstimate>),
    scaled("Meter", 14, Int::U24, Scale::Tenths, member<&H::Meter>),
    day("ScheduleDate", 17, member<&H::ScheduleDate>),
    day("PostCardDate", 19, member<&H::PostCardDate>),
    day("CallDates(0)", 21, element<&H::CallDates, 0>),
    day("CallDates(1)", 23, element<&H::CallDates, 1>),
    day("CallDates(2)", 25, element<&H::CallDates, 2>),
    text("RepairBrand", 27, 10, Encoding::Compressed, member<&H::RepairBrand>),
    text("RepairBrandDescription", 37, 14, Encoding::Compressed,
         member<&H::RepairBrandDescription>),
    text("SerialNumber1", 51, 12, Encoding::Compressed, member<&H::SerialNumber1>),
    text("SerialNumber2", 63, 12, Encoding::Compressed, member<&H::SerialNumber2>),
    integer("ShopReference", 75, Int::S32, member<&H::ShopReference>),
    integer("Mechanic", 79, Int::U8, member<&H::Mechanic>),
    integer("PostCardCount", 80, Int::U8, member<&H::PostCardCount>),
    scaled("EstimateAmount", 81, Int::U16, Scale::Whole, member<&H::EstimateAmount>),
    day("PromiseDate", 83, member<&H::PromiseDate>),
    day("DeliveryDate", 85, member<&H::DeliveryDate>),
    text("Purchase_Order_No", 87, 6, Encoding::Compressed, member<&H::Purchase_Order_No>),
    day("DateCompleted", 93, member<&H::DateCompleted>),
    day("DateCheckedIn", 95, member<&H::DateCheckedIn>),
    integer("WarrVend(1)", 97, Int::U16, element<&H::WarrVend, 1>),
    text("Status", 99, 1, Encoding::Text, member<&H::Status>),
    integer("Delivery_Code", 100, Int::U8, member<&H::Delivery_Code>),
    integer("JobNumber", 101, Int::U16, member<&H::JobNumber>),
    integer("TimeIn", 103, Int::U16, member<&H::TimeIn>),
    text("PhoneNumber2", 105, 8, Encoding::Compressed, member<&H::PhoneNumber2>),
    integer("Page", 115, Int::U8, member<&H::Page>),
    custom<H>("Rental", 116, 1, {unpackRental, packRental}, Int::U8),
    integer("WarrVend(0)", 117, Int::U16, element<&H::WarrVend, 0>),
    text("Warranty", 119, 1, Encoding::Text, member<&H::Warranty>),
    integer("CallStatus(0)", 120, Int::U8, element<&H::CallStatus, 0>),
    integer("CallStatus(1)", 121, Int::U8, element<&H::CallStatus, 1>),
    integer("CallStatus(2)", 122, Int::U8, element<&H::CallStatus, 2>),
    integer("Price_Code", 151, Int::U16, member<&H::Price_Code>),
    integer("Priority", 156, Int::U8, member<&H::Priority>),
    integer("Terminal", 157, Int::U8, member<&H::Terminal>),
};
static_assert(fitsRecord(kShopLayout, H::kRecordLength));

constexpr Field<H> kCommonLayout[] = {
    integer("Record_Status", 1, Int::S16, member<&H::Record_Status>),
    integer("AlternateTaxCode", 12, Int::U16, member<&H::AlternateTaxCode>),
    integer("COUNTERMAN_Number", 113, Int::U8, member<&H::COUNTERMAN_Number>),
    integer("Salesman_Number", 114, Int::U8, member<&H::Salesman_Number>),
    integer("Transaction_Type", 123, Int::U8, member<&H::Transaction_Type>),
    integer("Delivery_Code", 124, Int::U8, member<&H::Delivery_Code>),
    money("Sub_Total", 125, member<&H::Sub_Total>),
    integer("Disc_Percentage", 129, Int::S16, member<&H::Disc_Percentage>),
    money("Discount_Amount", 131, member<&H::Discount_Amount>),
    integer("Tax_Rate", 135, Int::U16, member<&H::Tax_Rate>),
    money("Tax_Amount", 137, member<&H::Tax_Amount>),
    integer("Department", 145, Int::U8, member<&H::Department>),
    text("Sales_Code", 147, 1, Encoding::Text, member<&H::Sales_Code>),
    text("Tax_Code", 148, 1, Encoding::Text, member<&H::Tax_Code>),
    integer("Tax_Rate_Code", 149, Int::U8, member<&H::Tax_Rate_Code>),
    integer("Terms_Code", 157, Int::U8, member<&H::Terms_Code>),
};
static_assert(fitsRecord(kCommonLayout, H::kRecordLength));

}  // namespace

Layout<H> clsInvoiceHistory::invoiceLayout() {
    return kInvoiceLayout;
}

Layout<H> clsInvoiceHistory::shopLayout() {
    return kShopLayout;
}

Layout<H> clsInvoiceHistory::commonLayout() {
    return kCommonLayout;
}

}  // namespace fennick
