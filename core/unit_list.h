#pragma once
// The unit list: the units of one line and model still in stock (not sold by date, not on a
// sold invoice, not taken by a sale in progress), one typed row per unit in MUNITI order, with
// the cost summed from the unit's sub-ledger and the days it has been in stock.

#include <cstdint>
#include <string>
#include <vector>

#include "store/store.h"
#include "unit_row.h"
#include "work_progress.h"

namespace fennick::core {

// How the allocation check runs: once for the whole list (the program's way), or unit by unit
// exactly as the check is defined (the reference the faster way is measured against).
enum class AllocationCheck { OncePerList, PerUnit };

struct UnitList {
    std::vector<UnitRow> rows;
    // Damage met on the way (a sub-ledger chain that loops or leaves its file); the list is
    // still complete, each such unit's cost counting the postings before the damage.
    std::vector<std::string> problems;
    bool cancelled = false;  // the listing was cancelled: no rows, no problems
};

// Lists the units of `lineCode` and `model` (both as given: a model from a tree tag keeps its
// blanks), as one action of the read cache: the model's unit records, their sub-ledger chains
// and the sales in progress are read ahead in batches. An unknown line gives an empty list.
// Engine failures reach the caller. With `progress`, each unit read is a step named by its unit
// number, and the allocation pass one more; a cancel gives an empty list marked cancelled.
// `shownNext`: the number of a unit the caller shows next, within an action of its own around
// both: its notes and the user-defined names are read ahead with the sub-ledgers.
UnitList LoadUnits(store::Store& store, const std::string& lineCode, const std::string& model,
                   AllocationCheck check = AllocationCheck::OncePerList,
                   WorkProgress* progress = nullptr, const std::string& shownNext = {});

class AllocatedUnits;

// The same list with the allocation check made against `sales`, the sales in progress collected
// once for several lists of one action (the stock ageing lists every model this way).
UnitList LoadUnits(store::Store& store, const std::string& lineCode, const std::string& model,
                   const AllocatedUnits& sales, WorkProgress* progress = nullptr);

}  // namespace fennick::core
