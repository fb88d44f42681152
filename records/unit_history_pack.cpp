#include "records/unit_history_pack.h"

namespace fennick {

void Pack(const clsUnitsHistory& history, std::string& Rec) {
    records::FieldWriter out(Rec);
    records::packFields(clsUnitsHistory::layout(), history, out);
}

}  // namespace fennick
