#pragma once
// clsUnitsHistory: one service visit of a unit (256 bytes), reached from the unit's
// HistoryChain. The work performed is three 48-character lines at 19, 67 and 115; Pack writes
// each line and WarrantySwitch without padding, so a shorter value keeps the rest of its slice.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/codec.h"
#include "engine/currency.h"
#include "records/layout.h"

namespace fennick {

class clsUnitsHistory {
  public:
    std::int32_t Line = 0;
    std::string UnitNumber;
    Date DateServiced = codec::kEmptyDate;
    std::int32_t InvoiceNumber = 0;
    std::array<std::string, 3> WorkPerformed;
    std::int32_t Account = 0;
    std::string WarrantySwitch;
    std::int32_t ShopRef = 0;
    Currency Amount;
    std::int32_t Chain = 0;  // next history record of the unit, 0 = last

    static constexpr std::int32_t kRecordLength = 256;
    // Every field's position, width and encoding, read by Unpack and Pack.
    static records::Layout<clsUnitsHistory> layout();

    void Unpack(std::string_view Rec);
};

}  // namespace fennick
