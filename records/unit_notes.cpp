#include "records/unit_notes.h"

namespace fennick {

using namespace records;
using N = clsUnitnotes;

namespace {

// Positions 23-24 hold the date of a remark, the quantity of an option or an attached unit.
bool isRemark(const N& n) {
    return n.NoteType == 1;
}
bool countsItems(const N& n) {
    return n.NoteType >= 2 && n.NoteType <= 4;
}

constexpr Field<N> kLayout[] = {
    integer("NoteType", 1, Int::U16, member<&N::NoteType>),
    text("UnitNumber", 3, 8, Encoding::Trimmed, member<&N::UnitNumber>),
    text("Code", 11, 12, Encoding::Trimmed, member<&N::Code>),
    only(isRemark, day("NoteDate", 23, member<&N::NoteDate>)),
    only(countsItems, integer("Quantity", 23, Int::U16, member<&N::Quantity>)),
    text("Description", 25, 36, Encoding::Trimmed, member<&N::Description>),
    money("Cost", 61, member<&N::Cost>),
    money("List", 65, member<&N::List>),
    integer("ShopReference", 69, Int::S32, member<&N::ShopReference>),
    integer("Chain", 81, Int::S32, member<&N::Chain>),
};
static_assert(fitsRecord(kLayout, N::kRecordLength));

}  // namespace

Layout<N> clsUnitnotes::layout() {
    return kLayout;
}

void clsUnitnotes::Unpack(std::string_view Rec) {
    unpackFields(layout(), *this, FieldReader(Rec));
}

}  // namespace fennick
