#pragma once
// Pack for clsUnits, for the share writers and tests: the readers only unpack.

#include <string>

#include "engine/writers_only.h"
#include "records/units.h"

namespace fennick {

// Writes the unit's fields into a UNITL record in layout order.
void Pack(const clsUnits& unit, std::string& Rec);

}  // namespace fennick
