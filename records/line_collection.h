#pragma once
// clnLines: every valid product line, keyed by the decimal text of its line number. The
// collection fills itself from LINEL when created: records whose in-use number (J at 1) is at
// least 1 and whose line number (C at 3) is below 1000. A second line with the same number
// fails the filling with the collection's duplicate-key error.

#include "engine/business_basic.h"
#include "engine/tables.h"
#include "records/lines.h"

namespace fennick {

class clnLines : public KeyedCollection<clsLines> {
  public:
    explicit clnLines(cBusinessBasic& engine);
};

}  // namespace fennick
