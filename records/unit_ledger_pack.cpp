#include "records/unit_ledger_pack.h"

namespace fennick {

void Pack(const clsUnitsLedger& posting, std::string& Rec) {
    records::FieldWriter out(Rec);
    records::packFields(clsUnitsLedger::layout(), posting, out);
}

}  // namespace fennick
