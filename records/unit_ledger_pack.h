#pragma once
// Pack for clsUnitsLedger, for the share writers and tests: the readers only unpack.

#include <string>

#include "engine/writers_only.h"
#include "records/unit_ledger.h"

namespace fennick {

// Writes the posting's fields into a LUNITL record in layout order.
void Pack(const clsUnitsLedger& posting, std::string& Rec);

}  // namespace fennick
