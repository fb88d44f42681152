#include "unit_grid.h"

#include <QHeaderView>
#include <algorithm>

#include "twips.h"

namespace fennick::viewer {

void setUpUnitGrid(TextGrid* grid, const std::vector<std::string>& headings) {
    grid->setHeadings(headings);
    const int minimum = twipsToPixels(kOtherColumnTwips, grid);
    const auto& columns = unitColumns();
    std::vector<bool> rightAligned;
    for (const UnitColumnInfo& column : columns)
        rightAligned.push_back(column.align == ColumnAlign::Right);
    grid->setRightAligned(rightAligned);
    for (int c = 0; c < grid->columnCount() && c < static_cast<int>(columns.size()); ++c) {
        const UnitColumnInfo& column = columns[static_cast<std::size_t>(c)];
        grid->setColumnHidden(c, column.hidden);
        int heading = grid->horizontalHeader()->sectionSizeHint(c);
        grid->setColumnWidth(c, column.widthTwips > 0 ? twipsToPixels(column.widthTwips, grid)
                                                      : std::max(minimum, heading));
    }
}

void showUnitRows(TextGrid* grid, const std::vector<UnitRow>& rows) {
    // Heading clicks sort by the column's values: numbers as numbers, dates as dates.
    grid->showRows(unitCells(rows), [rows](int a, int b, int column) {
        return compareUnitRows(rows[static_cast<std::size_t>(a)], rows[static_cast<std::size_t>(b)],
                               static_cast<UnitColumn>(column));
    });
}

}  // namespace fennick::viewer
