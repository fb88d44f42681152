#pragma once
// Where the main window sits on the screen and what of its layout each user keeps: the window
// rectangle, the two splitters and the unit grid's column widths, stored as short texts in the
// window settings (application "Larkmoor", group "Window"). Whatever is read back is checked
// and brought onto the screen the window opens on, since screens change between runs.

#include <QList>
#include <QRect>
#include <optional>
#include <string>

namespace fennick::core {
class SettingsStore;
}

namespace fennick::viewer {

// The keys of the window settings.
constexpr const char* kGeometryKey = "Geometry";       // "x,y,width,height" of the client area
constexpr const char* kMaximizedKey = "Maximized";     // "1" or "0"
constexpr const char* kTreeSplitKey = "TreeSplitter";  // tree width, units width
constexpr const char* kUnitSplitKey = "UnitSplitter";  // grid height, tabs height
constexpr const char* kColumnsKey = "UnitColumns";     // widths of the unit grid's columns

// The client size of a first start: about four fifths of the screen's `available` area, and no
// smaller than the `design` size where the screen has room for it.
QSize firstStartSize(QSize design, const QRect& available);

// A client rectangle of `size` (the window frame around it is `frame` wide on each side, and
// `titleBar` high above) that fits `available` and stands in its middle.
QRect centredPlacement(QSize size, const QRect& available, int frame, int titleBar);
// A saved client rectangle made to fit `available` and moved inside it.
QRect clampedPlacement(const QRect& saved, const QRect& available, int frame, int titleBar);

// Whole numbers joined by commas, and read back; nothing when the text is not `count` whole
// numbers from `low` to `high` (count 0: any number of them).
std::string intListText(const QList<int>& values);
std::optional<QList<int>> parseIntList(const std::string& text, int count, int low, int high);

// A stored rectangle, or nothing when it is missing or not sensible.
std::optional<QRect> keptGeometry(core::SettingsStore& settings);
void keepGeometry(core::SettingsStore& settings, const QRect& client, bool maximized);

}  // namespace fennick::viewer
