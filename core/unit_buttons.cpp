#include "unit_buttons.h"

namespace fennick::core {

UnitButtons UnitButtonRules::buttons() const {
    UnitButtons shown = unitShown_ ? buttonsForShownUnit(fromPointOfSale_) : UnitButtons{};
    if (fromPointOfSale_) shown.addToInvoice = pickListArmed_;
    return shown;
}

std::string_view UnitButtonRules::addToInvoiceHint() const {
    if (fromPointOfSale_)
        return "Add units to the pick list first (\"Add to Pick List\", a double-click or Insert "
               "on a unit row): the invoice takes the pick list";
    return "Choose a unit first: the invoice takes it, or the pick list once units are on it";
}

}  // namespace fennick::core
