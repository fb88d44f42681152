#pragma once
// Pack for clsLines, for the share writers and tests: the readers only unpack.

#include <string>

#include "engine/writers_only.h"
#include "records/lines.h"

namespace fennick {

// Writes the line's fields into the joined LINEL and ELINEL record in layout order.
void Pack(const clsLines& line, std::string& Rec);

}  // namespace fennick
