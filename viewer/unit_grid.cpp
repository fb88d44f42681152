#include "unit_grid.h"

#include <QHeaderView>
#include <algorithm>

#include "twips.h"

namespace fennick::viewer {

void setUpUnitGrid(TextGrid* grid, const std::vector<std::string>& headings) {
    grid->setHeadings(headings);
    const int minimum = twipsToPixels(kOtherColumnTwips, grid);
    const auto& columns = unitColumns();
    for (int c = 0; c < grid->columnCount() && c < static_cast<int>(columns.size()); ++c) {
        const UnitColumnSpec& column = columns[static_cast<std::size_t>(c)];
        grid->setColumnHidden(c, column.hidden);
        int heading = grid->horizontalHeader()->sectionSizeHint(c);
        grid->setColumnWidth(c, column.widthTwips > 0 ? twipsToPixels(column.widthTwips, grid)
                                                      : std::max(minimum, heading));
    }
}

void showUnitRows(TextGrid* grid, const std::vector<UnitRow>& rows) {
    grid->showRows(unitCells(rows));
}

}  // namespace fennick::viewer
