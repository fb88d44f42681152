#include "records/unit_history.h"

#include "records/fields.h"

namespace fennick {

namespace {
constexpr std::int32_t kWorkLine = 48;
constexpr std::int32_t workLineAt(std::size_t i) {
    return 19 + kWorkLine * std::int32_t(i);
}
}  // namespace

void clsUnitsHistory::Unpack(std::string_view Rec) {
    records::FieldReader in(Rec);
    in.integer("C", 3, Line);
    UnitNumber = in.text(5, 8);
    in.date(13, DateServiced);
    in.integer("L", 15, InvoiceNumber);
    for (std::size_t i = 0; i < WorkPerformed.size(); ++i)
        WorkPerformed[i] = in.text(workLineAt(i), kWorkLine);
    in.integer("L", 163, Account);
    WarrantySwitch = in.text(167, 1);
    in.integer("L", 168, ShopRef);
    in.money(172, Amount);
    in.integer("L", 253, Chain);
}

void clsUnitsHistory::Pack(std::string& Rec) const {
    records::FieldWriter out(Rec);
    out.integer("C", 3, Line);
    out.text(5, 8, UnitNumber);
    out.date(13, DateServiced);
    out.integer("L", 15, InvoiceNumber);
    for (std::size_t i = 0; i < WorkPerformed.size(); ++i)
        out.overlay(workLineAt(i), kWorkLine, WorkPerformed[i]);
    out.integer("L", 163, Account);
    out.overlay(167, 1, WarrantySwitch);
    out.integer("L", 168, ShopRef);
    out.money(172, Amount);
    out.integer("L", 253, Chain);
}

}  // namespace fennick
