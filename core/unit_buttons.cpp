#include "unit_buttons.h"

namespace fennick::core {

UnitButtons UnitButtonRules::buttons() const {
    UnitButtons shown = unitShown_ ? buttonsForShownUnit(fromPointOfSale_) : UnitButtons{};
    if (fromPointOfSale_) shown.addToInvoice = pickListArmed_;
    return shown;
}

}  // namespace fennick::core
