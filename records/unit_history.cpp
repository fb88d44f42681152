#include "records/unit_history.h"

namespace fennick {

using namespace records;
using H = clsUnitsHistory;

namespace {

constexpr Field<H> kLayout[] = {
    integer("Line", 3, Int::U16, member<&H::Line>),
    text("UnitNumber", 5, 8, Encoding::Text, member<&H::UnitNumber>),
    day("DateServiced", 13, member<&H::DateServiced>),
    integer("InvoiceNumber", 15, Int::S32, member<&H::InvoiceNumber>),
    text("WorkPerformed(0)", 19, 48, Encoding::Overlay, element<&H::WorkPerformed, 0>),
    text("WorkPerformed(1)", 67, 48, Encoding::Overlay, element<&H::WorkPerformed, 1>),
    text("WorkPerformed(2)", 115, 48, Encoding::Overlay, element<&H::WorkPerformed, 2>),
    integer("Account", 163, Int::S32, member<&H::Account>),
    text("WarrantySwitch", 167, 1, Encoding::Overlay, member<&H::WarrantySwitch>),
    integer("ShopRef", 168, Int::S32, member<&H::ShopRef>),
    money("Amount", 172, member<&H::Amount>),
    integer("Chain", 253, Int::S32, member<&H::Chain>),
};
static_assert(fitsRecord(kLayout, H::kRecordLength));

}  // namespace

Layout<H> clsUnitsHistory::layout() {
    return kLayout;
}

void clsUnitsHistory::Unpack(std::string_view Rec) {
    unpackFields(layout(), *this, FieldReader(Rec));
}

}  // namespace fennick
