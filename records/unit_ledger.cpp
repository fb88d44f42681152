#include "records/unit_ledger.h"

namespace fennick {

using namespace records;
using L = clsUnitsLedger;

namespace {

constexpr Field<L> kLayout[] = {
    integer("Line", 3, Int::U16, member<&L::Line>),
    text("Unit_Number", 5, 8, Encoding::Text, member<&L::Unit_Number>),
    day("Transaction_Date", 13, member<&L::Transaction_Date>),
    text("Journal_Type", 15, 2, Encoding::Text, member<&L::Journal_Type>),
    integer("Journal_Number", 17, Int::U16, member<&L::Journal_Number>),
    text("Transaction_Description", 19, 30, Encoding::Text, member<&L::Transaction_Description>),
    integer("Account", 49, Int::S32, member<&L::Account>),
    money("Amount", 57, member<&L::Amount>),
    integer("Chain", 61, Int::S32, member<&L::Chain>),
};
static_assert(fitsRecord(kLayout, L::kRecordLength));

}  // namespace

Layout<L> clsUnitsLedger::layout() {
    return kLayout;
}

void clsUnitsLedger::Unpack(std::string_view Rec) {
    unpackFields(layout(), *this, FieldReader(Rec));
}

}  // namespace fennick
