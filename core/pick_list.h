#pragma once
// The pick list: unit rows copied from the unit list so that several units go to the point of
// sale together, kept in the order added or as the user reorders them, with running totals of
// their suggested and dealer list prices. A unit is on the list once at most: selling one serial
// number twice on an invoice is never meant.

#include <cstddef>
#include <string>
#include <vector>

#include "unit_list.h"

namespace fennick::core {

struct PickListTotals {
    std::string suggestedList;  // sum of the suggested list prices, "#########0.00"
    std::string dealerList;     // sum of the dealer list prices, "#########0.00"
};

class PickList {
  public:
    struct Added {
        std::size_t row;  // where the unit stands on the list
        bool added;       // false: it was there already, and the list is unchanged
    };
    // Appends a copy of a unit row, unless the list holds the same unit already (the same
    // record of the unit file, with the same line and unit number).
    Added add(UnitRow row);
    // Removes row `index` (0-based); false when there is no such row.
    bool remove(std::size_t index);
    void clear();
    // Moves row `index` one place up or down and returns where it is now; the first row does
    // not move up and the last does not move down. An index past the end stays as it is.
    std::size_t moveUp(std::size_t index);
    std::size_t moveDown(std::size_t index);

    PickListTotals totals() const;
    const std::vector<UnitRow>& rows() const { return rows_; }
    bool empty() const { return rows_.empty(); }
    // Set by an add; cleared by clear() or by removing the last row. While it is set the
    // hand-off to the point of sale takes the whole list instead of the selected unit.
    bool used() const { return used_; }

  private:
    std::vector<UnitRow> rows_;
    bool used_ = false;
};

}  // namespace fennick::core
