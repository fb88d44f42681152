#include "records/layout.h"
#include "records/units.h"

namespace fennick {

void clsUnits::Pack(std::string& Rec) const {
    records::FieldWriter out(Rec);
    records::packFields(layout(), *this, out);
}

}  // namespace fennick
