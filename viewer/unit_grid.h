#pragma once
// The two grids that show unit rows, the unit grid and the pick list: their headings, hidden
// columns, widths and alignment, and their rows with the order a heading click sorts them in,
// all from the unit column table.

#include <string>
#include <vector>

#include "core/unit_row.h"
#include "text_grid.h"

namespace fennick::viewer {

// Headings as given; hidden columns and widths as the table says (a column without a width
// is as wide as its heading, and never narrower than kOtherColumnTwips).
void setUpUnitGrid(TextGrid* grid, const std::vector<std::string>& headings);
void showUnitRows(TextGrid* grid, const std::vector<core::UnitRow>& rows);

}  // namespace fennick::viewer
