// The invoice and shop layouts of clsInvoiceHistory.
#include "records/fields.h"
#include "records/invoice_header.h"

namespace fennick {

namespace {

using records::FieldReader;
using records::FieldWriter;
using records::Scale;
using H = clsInvoiceHistory;
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

// Payment slots: type (B) at 65, 69, 73 and amount (K, cents) one byte behind.
struct PaySlot {
    std::int32_t H::*type;
    Currency H::*amount;
};
constexpr PaySlot kPaySlots[] = {{&H::Pay_type_1, &H::Pay_Amount_1},
                                 {&H::Pay_type_2, &H::Pay_Amount_2},
                                 {&H::Pay_type_3, &H::Pay_Amount_3}};

// The stored word with the listed bits taken from the flags; other bits stay as they were.
template <std::size_t N>
std::int32_t mergeFlags(const H& h, const FlagBit (&bits)[N], std::int32_t word) {
    for (const auto& b : bits)
        word = records::withBit(word, b.bit, h.*b.flag != 0);
    return word;
}

}  // namespace

void clsInvoiceHistory::unpackInvoice(std::string_view Rec) {
    FieldReader in(Rec);
    in.integer("D", 3, Account);
    in.date(48, Invoice_Date);
    in.integer("C", 50, Invoice_Time);
    in.integer("B", 54, Terminal);
    in.date(55, DateDue);
    in.integer("B", 57, UPSBoxes);
    in.scaled("K", 58, Scale::Cents, Deposit);
    in.integer("C", 61, Future_Ship);
    in.date(61, Future_Ship_Date);
    if (auto word = in.value("C", 63))
        for (const auto& b : kInvoiceFlags)
            this->*b.flag = records::bitFlag(*word, b.bit);
    std::int32_t at = 65;
    for (const auto& slot : kPaySlots) {
        in.integer("B", at, this->*slot.type);
        in.scaled("K", at + 1, Scale::Cents, this->*slot.amount);
        at += 4;
    }
    Attention_of = in.compressed(86, 20);
    in.integer("L", 106, Invoice_Number);
    in.integer("B", 115, Number_of_Pages);
    if (auto word = in.value("B", 116))
        for (const auto& b : kShippingFlags)
            this->*b.flag = records::bitFlag(*word, b.bit);
    Purchase_Order_No = in.compressed(117, 6);
    if (auto type = in.value("B", 123)) ManualInvoice = *type > 20;
    if (auto signedShipTo = in.value("K", 141)) {
        std::int32_t shipTo = *signedShipTo == kAllOnes ? kAllOnes : *in.value("D", 141);
        ShipTo = shipTo < 0 ? Account : shipTo;
    }
    if (Record_Status == 2)
        in.integer("L", 151, Packing_Slip_No);
    else
        in.integer("C", 151, Price_Code);
    in.integer("B", 156, Category);
    in.scaled("K", 158, Scale::Cents, Down_Payment);
}

void clsInvoiceHistory::packInvoice(std::string& Rec) const {
    FieldReader stored(Rec);
    FieldWriter out(Rec);
    out.integer("D", 3, Account);
    out.date(48, Invoice_Date);
    out.integer("C", 50, Invoice_Time);
    out.integer("B", 54, Terminal);
    out.date(55, DateDue);
    out.integer("B", 57, UPSBoxes);
    out.scaled("K", 58, Scale::Cents, Deposit);
    out.integer("C", 61, Future_Ship);
    out.date(61, Future_Ship_Date);
    if (auto word = stored.value("C", 63))
        out.integer("C", 63, mergeFlags(*this, kInvoiceFlags, *word));
    std::int32_t at = 65;
    for (const auto& slot : kPaySlots) {
        out.integer("B", at, this->*slot.type);
        out.scaled("K", at + 1, Scale::Cents, this->*slot.amount);
        at += 4;
    }
    out.compressed(86, 20, Attention_of);
    out.integer("L", 106, Invoice_Number);
    out.integer("B", 115, Number_of_Pages);
    if (auto word = stored.value("B", 116))
        out.integer("B", 116, mergeFlags(*this, kShippingFlags, *word));
    out.compressed(117, 6, Purchase_Order_No);
    // Unpack reads all ones as "ship to the account"; write that form back for it.
    out.integer("D", 141, ShipTo == Account ? kAllOnes : ShipTo);
    out.integer("C", 151, Price_Code);
    if (Packing_Slip_No != 0) out.integer("L", 151, Packing_Slip_No);
    out.integer("B", 156, Category);
    out.scaled("K", 158, Scale::Cents, Down_Payment);
}

void clsInvoiceHistory::unpackShop(std::string_view Rec) {
    FieldReader in(Rec);
    ManualInvoice = false;
    in.integer("L", 3, Account);
    in.integer("D", 7, ShipTo);
    in.scaled("C", 10, Scale::Whole, ReplacementEstimate);
    in.scaled("D", 14, Scale::Tenths, Meter);
    in.date(17, ScheduleDate);
    in.date(19, PostCardDate);
    for (std::size_t i = 0; i < CallDates.size(); ++i)
        in.date(21 + 2 * std::int32_t(i), CallDates[i]);
    RepairBrand = in.compressed(27, 10);
    RepairBrandDescription = in.compressed(37, 14);
    SerialNumber1 = in.compressed(51, 12);
    SerialNumber2 = in.compressed(63, 12);
    in.integer("L", 75, ShopReference);
    in.integer("B", 79, Mechanic);
    in.integer("B", 80, PostCardCount);
    in.scaled("C", 81, Scale::Whole, EstimateAmount);
    in.date(83, PromiseDate);
    in.date(85, DeliveryDate);
    Purchase_Order_No = in.compressed(87, 6);
    in.date(93, DateCompleted);
    in.date(95, DateCheckedIn);
    in.integer("C", 97, WarrVend[1]);
    Status = in.text(99, 1);
    in.integer("B", 100, Delivery_Code);
    in.integer("C", 101, JobNumber);
    in.integer("C", 103, TimeIn);
    PhoneNumber2 = in.compressed(105, 8);
    in.integer("B", 115, Page);
    if (auto word = in.value("B", 116)) Rental = records::bitFlag(*word, kRentalBit) != 0;
    in.integer("C", 117, WarrVend[0]);
    Warranty = in.text(119, 1);
    for (std::size_t i = 0; i < CallStatus.size(); ++i)
        in.integer("B", 120 + std::int32_t(i), CallStatus[i]);
    in.integer("C", 151, Price_Code);
    in.integer("B", 156, Priority);
    in.integer("B", 157, Terminal);
}

void clsInvoiceHistory::packShop(std::string& Rec) const {
    FieldReader stored(Rec);
    FieldWriter out(Rec);
    out.integer("L", 3, Account);
    out.integer("D", 7, ShipTo);
    out.scaled("C", 10, Scale::Whole, ReplacementEstimate);
    out.scaled("D", 14, Scale::Tenths, Meter);
    out.date(17, ScheduleDate);
    out.date(19, PostCardDate);
    for (std::size_t i = 0; i < CallDates.size(); ++i)
        out.date(21 + 2 * std::int32_t(i), CallDates[i]);
    out.compressed(27, 10, RepairBrand);
    out.compressed(37, 14, RepairBrandDescription);
    out.compressed(51, 12, SerialNumber1);
    out.compressed(63, 12, SerialNumber2);
    out.integer("L", 75, ShopReference);
    out.integer("B", 79, Mechanic);
    out.integer("B", 80, PostCardCount);
    out.scaled("C", 81, Scale::Whole, EstimateAmount);
    out.date(83, PromiseDate);
    out.date(85, DeliveryDate);
    out.compressed(87, 6, Purchase_Order_No);
    out.date(93, DateCompleted);
    out.date(95, DateCheckedIn);
    out.integer("C", 97, WarrVend[1]);
    out.text(99, 1, Status);
    out.integer("B", 100, Delivery_Code);
    out.integer("C", 101, JobNumber);
    out.integer("C", 103, TimeIn);
    out.compressed(105, 8, PhoneNumber2);
    out.integer("B", 115, Page);
    if (auto word = stored.value("B", 116))
        out.integer("B", 116, records::withBit(*word, kRentalBit, Rental));
    out.integer("C", 117, WarrVend[0]);
    out.text(119, 1, Warranty);
    for (std::size_t i = 0; i < CallStatus.size(); ++i)
        out.integer("B", 120 + std::int32_t(i), CallStatus[i]);
    out.integer("C", 151, Price_Code);
    out.integer("B", 156, Priority);
    out.integer("B", 157, Terminal);
}

}  // namespace fennick
