#include "records/unit_ledger.h"

namespace fennick {

void clsUnitsLedger::Pack(std::string& Rec) const {
    records::FieldWriter out(Rec);
    records::packFields(layout(), *this, out);
}

}  // namespace fennick
