#include "records/unit_notes.h"

#include "platform/text.h"
#include "records/fields.h"

namespace fennick {

namespace {

std::string trimmedText(const records::FieldReader& in, std::int32_t position, std::int32_t width) {
    return std::string(platform::trimBlanks(in.text(position, width)));
}

bool countsItems(std::int32_t noteType) {
    return noteType >= 2 && noteType <= 4;
}

}  // namespace

void clsUnitnotes::Unpack(std::string_view Rec) {
    records::FieldReader in(Rec);
    in.integer("C", 1, NoteType);
    UnitNumber = trimmedText(in, 3, 8);
    Code = trimmedText(in, 11, 12);
    if (NoteType == 1) in.date(23, NoteDate);
    if (countsItems(NoteType)) in.integer("C", 23, Quantity);
    Description = trimmedText(in, 25, 36);
    in.money(61, Cost);
    in.money(65, List);
    in.integer("L", 69, ShopReference);
    in.integer("L", 81, Chain);
}

void clsUnitnotes::Pack(std::string& Rec) const {
    records::FieldWriter out(Rec);
    out.integer("C", 1, NoteType);
    out.text(3, 8, UnitNumber);
    out.text(11, 12, Code);
    if (NoteType == 1) out.date(23, NoteDate);
    if (countsItems(NoteType)) out.integer("C", 23, Quantity);
    out.text(25, 36, Description);
    out.money(61, Cost);
    out.money(65, List);
    out.integer("L", 69, ShopReference);
    out.integer("L", 81, Chain);
}

}  // namespace fennick
