#include "records/unit_history.h"

namespace fennick {

void clsUnitsHistory::Pack(std::string& Rec) const {
    records::FieldWriter out(Rec);
    records::packFields(layout(), *this, out);
}

}  // namespace fennick
