#include "records/unit_ledger.h"

#include "records/fields.h"

namespace fennick {

void clsUnitsLedger::Unpack(std::string_view Rec) {
    records::FieldReader in(Rec);
    in.integer("C", 3, Line);
    Unit_Number = in.text(5, 8);
    in.date(13, Transaction_Date);
    Journal_Type = in.text(15, 2);
    in.integer("C", 17, Journal_Number);
    Transaction_Description = in.text(19, 30);
    in.integer("L", 49, Account);
    in.money(57, Amount);
    in.integer("L", 61, Chain);
}

void clsUnitsLedger::Pack(std::string& Rec) const {
    records::FieldWriter out(Rec);
    out.integer("C", 3, Line);
    out.text(5, 8, Unit_Number);
    out.date(13, Transaction_Date);
    out.text(15, 2, Journal_Type);
    out.integer("C", 17, Journal_Number);
    out.text(19, 30, Transaction_Description);
    out.integer("L", 49, Account);
    out.money(57, Amount);
    out.integer("L", 61, Chain);
}

}  // namespace fennick
