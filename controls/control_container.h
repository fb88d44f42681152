#pragma once

#include <QColor>
#include <QString>

#include "vglintbar_global.h"

class QWidget;

// What a control of this library needs from the window that hosts it: the window's active
// control, a control's type name and colours by name, and whether the window runs for real or
// sits in a form designer.
namespace vglintbar {

// The dynamic property a host sets on a widget to give it a type name of its own choosing.
inline constexpr char kControlTypeProperty[] = "controlType";
// The dynamic property a host may set on a window (or any ancestor) to force run mode on or off.
inline constexpr char kUserModeProperty[] = "userMode";

enum class ColorProperty { BackColor, BevelColorFace };

// Colours travel as 0x00BBGGRR numbers.
VGLINTBAR_EXPORT QColor colorFromBgr(quint32 bgr);
VGLINTBAR_EXPORT quint32 bgrFromColor(const QColor& color);

// The widget's type name: its controlType property when set, else the name of the kind of entry
// field it is ("TextBox", "CheckBox", "OptionButton", "TDBNumber", "TDBDate", "SSDBCombo",
// "SSDBGrid"), else its class name.
VGLINTBAR_EXPORT QString controlTypeName(const QWidget* widget);

// The control of the widget's window that holds the keyboard focus, or null. When the focus
// sits inside a composite control (a cell editor of a grid, say) the outermost enclosing control
// with a known type name is answered.
VGLINTBAR_EXPORT QWidget* activeControl(const QWidget* member);

// False while the widget sits in a form designer (or a host says so), true otherwise.
VGLINTBAR_EXPORT bool ambientUserMode(const QWidget* widget);

// Reads or writes the widget's own property of that name when it declares one, otherwise its
// palette: BackColor is the base colour, BevelColorFace the button colour. A value the
// widget's own property refuses is dropped.
VGLINTBAR_EXPORT quint32 readColor(const QWidget* widget, ColorProperty which);
VGLINTBAR_EXPORT void writeColor(QWidget* widget, ColorProperty which, quint32 bgr);

}  // namespace vglintbar
