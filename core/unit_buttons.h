#pragma once
// Which of the four unit buttons (Totals, Quick Payment, Print, Add to Invoice) the main window
// enables. A shown unit enables the first three. "Add to Invoice" follows the shown unit too,
// except when the point of sale started the program: then it hands over the pick list, so it
// follows the pick list alone, enabled by an add and disabled only by clearing the list,
// whatever happens to the unit shown meanwhile (another unit, another model, the tree filter).

#include <string_view>

#include "unit_detail.h"

namespace fennick::core {

class UnitButtonRules {
  public:
    explicit UnitButtonRules(bool fromPointOfSale) : fromPointOfSale_(fromPointOfSale) {}

    void unitShown() { unitShown_ = true; }
    void unitCleared() { unitShown_ = false; }
    void pickListAdded() { pickListArmed_ = true; }
    void pickListCleared() { pickListArmed_ = false; }

    UnitButtons buttons() const;
    // What enables "Add to Invoice" while it is disabled, for its tool tip.
    std::string_view addToInvoiceHint() const;

  private:
    bool fromPointOfSale_;
    bool unitShown_ = false;
    bool pickListArmed_ = false;
};

}  // namespace fennick::core
