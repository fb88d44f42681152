#include "records/units_pack.h"

namespace fennick {

void Pack(const clsUnits& unit, std::string& Rec) {
    records::FieldWriter out(Rec);
    records::packFields(clsUnits::layout(), unit, out);
}

}  // namespace fennick
