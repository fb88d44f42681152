#pragma once
// clsUnitsLedger: one cost posting against a unit in LUNITL (64 bytes), reached from the
// unit's SubLedgerChain. A unit's cost is the sum of Amount over its chain.

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/codec.h"
#include "engine/currency.h"
#include "records/layout.h"

namespace fennick {

class clsUnitsLedger {
  public:
    std::int32_t Line = 0;
    std::string Unit_Number;
    Date Transaction_Date = codec::kEmptyDate;
    std::string Journal_Type;
    std::int32_t Journal_Number = 0;
    std::string Transaction_Description;
    std::int32_t Account = 0;
    Currency Amount;
    std::int32_t Chain = 0;  // next posting of the unit, 0 = last

    static constexpr std::int32_t kRecordLength = 64;
    // Every field's position, width and encoding, read by Unpack and Pack.
    static records::Layout<clsUnitsLedger> layout();

    void Unpack(std::string_view Rec);
};

}  // namespace fennick
