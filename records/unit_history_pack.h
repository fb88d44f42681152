#pragma once
// Pack for clsUnitsHistory, for the share writers and tests: the readers only unpack.

#include <string>

#include "engine/writers_only.h"
#include "records/unit_history.h"

namespace fennick {

// Writes the visit's fields into a history record in layout order.
void Pack(const clsUnitsHistory& history, std::string& Rec);

}  // namespace fennick
