#include "records/unit_notes.h"

namespace fennick {

void clsUnitnotes::Pack(std::string& Rec) const {
    records::FieldWriter out(Rec);
    records::packFields(layout(), *this, out);
}

}  // namespace fennick
