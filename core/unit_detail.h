#pragma once
// The unit detail panel: 18 values taken from the selected unit row (the cost in letter code)
// and the unit's notes from UNOTEL sorted into four grids by note type.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "store/store.h"
#include "unit_list.h"

namespace fennick::core {

constexpr std::size_t kDetailValues = 18;
using DetailValues = std::array<std::string, kDetailValues>;

struct NoteGrids {
    // Rows of code, quantity, description and list price.
    std::vector<std::vector<std::string>> factory;   // note type 2
    std::vector<std::vector<std::string>> dealer;    // note type 3
    std::vector<std::vector<std::string>> attached;  // note type 4
    std::vector<std::string> notes;                  // note type 1
};

struct UnitDetail {
    DetailValues values;
    NoteGrids grids;
    // Damage met in the note chain (a loop, a link outside UNOTEL); the notes before it show.
    std::vector<std::string> problems;
};

// The 18 values of a unit row: its cells from the serial number to the dealer list price, the
// cost in letter code and the days in stock.
DetailValues showUnitDetails(const UnitRow& row);
// The notes of the chain starting at UNOTEL record `firstNote` (0: none).
NoteGrids readUnitNotes(store::Store& store, std::int32_t firstNote,
                        std::vector<std::string>& problems);
// Everything the panel shows for a selected row, as one action of the read cache (the note
// chain read ahead). Engine failures reach the caller.
UnitDetail selectUnit(store::Store& store, const UnitRow& row);
// The logical file selectUnit reads, for a caller that opens it ahead.
inline constexpr const char* kUnitNotesFile = "UNOTEL";

// A click on a tree node: the units of the line and model its tag names and, when there is
// any, the first unit shown at once.
struct NodeClick {
    UnitList list;
    std::optional<UnitDetail> firstUnit;
};
NodeClick clickNode(store::Store& store, const std::string& tag);

struct UnitButtons {
    bool totals = false, quickPayment = false, print = false, addToInvoice = false;
};
// The buttons enabled while a unit is shown; "Add to Invoice" only when the point of sale did
// not start the program.
UnitButtons buttonsForShownUnit(bool fromPointOfSale);

}  // namespace fennick::core
