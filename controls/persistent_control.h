#pragma once

#include "property_bag.h"
#include "vglintbar_global.h"

namespace vglintbar {

// The life-cycle calls a host makes to keep a control's properties: initProperties when a new
// instance is placed in a form, readProperties when a stored instance is loaded, and
// writeProperties when the form is saved.
class VGLINTBAR_EXPORT PersistentControl {
  public:
    virtual ~PersistentControl() = default;

    virtual void initProperties() {}
    virtual void readProperties(const PropertyBag& bag) = 0;
    virtual void writeProperties(PropertyBag& bag) const = 0;
};

}  // namespace vglintbar
