#include "records/unit_notes_pack.h"

namespace fennick {

void Pack(const clsUnitnotes& note, std::string& Rec) {
    records::FieldWriter out(Rec);
    records::packFields(clsUnitnotes::layout(), note, out);
}

}  // namespace fennick
