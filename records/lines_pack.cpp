#include "records/lines.h"

namespace fennick {

void clsLines::Pack(std::string& Rec) const {
    records::FieldWriter out(Rec);
    records::packFields(layout(), *this, out);
}

}  // namespace fennick
