#pragma once
// clsUnitnotes: one note of a unit in UNOTEL (84 bytes): a dated remark (type 1), a factory
// option (2), a dealer option (3) or an attached unit (4). Positions 23-24 hold the note date
// for type 1 and the quantity for types 2 to 4. Texts are trimmed of blanks on unpack.
// Notes of one unit form a chain from the unit's NoteChain through each note's Chain.

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/codec.h"
#include "engine/currency.h"
#include "records/layout.h"

namespace fennick {

class clsUnitnotes {
  public:
    std::int32_t NoteType = 0;
    std::string UnitNumber;
    std::string Code;
    std::int32_t Quantity = 0;
    Date NoteDate = codec::kEmptyDate;
    std::string Description;
    Currency Cost;
    Currency List;
    std::int32_t ShopReference = 0;
    std::int32_t Chain = 0;  // next note of the unit, 0 = last

    static constexpr std::int32_t kRecordLength = 84;
    // Every field's position, width and encoding, read by Unpack and Pack.
    static records::Layout<clsUnitnotes> layout();

    void Unpack(std::string_view Rec);
};

}  // namespace fennick
