#pragma once
// Pack for clsUnitnotes, for the share writers and tests: the readers only unpack.

#include <string>

#include "engine/writers_only.h"
#include "records/unit_notes.h"

namespace fennick {

// Writes the note's fields into a UNOTEL record in layout order.
void Pack(const clsUnitnotes& note, std::string& Rec);

}  // namespace fennick
