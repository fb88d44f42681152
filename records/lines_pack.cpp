#include "records/lines_pack.h"

namespace fennick {

void Pack(const clsLines& line, std::string& Rec) {
    records::FieldWriter out(Rec);
    records::packFields(clsLines::layout(), line, out);
}

}  // namespace fennick
