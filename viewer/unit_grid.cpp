#include "unit_grid.h"

#include <QHeaderView>
#include <algorithm>

#include "twips.h"

namespace fennick::viewer {

void setUpUnitGrid(TextGrid* grid, const std::vector<std::string>& headings) {
    grid->setHeadings(headings);
    const int minimum = twipsToPixels(core::kOtherColumnTwips, grid);
    const auto& columns = core::unitColumns();
    std::vector<bool> rightAligned;
    for (const core::UnitColumnInfo& column : columns)
        rightAligned.push_back(column.align == core::ColumnAlign::Right);
    grid->setRightAligned(rightAligned);
    for (int c = 0; c < grid->columnCount() && c < static_cast<int>(columns.size()); ++c) {
        const core::UnitColumnInfo& column = columns[static_cast<std::size_t>(c)];
        grid->setColumnHidden(c, column.hidden);
        int heading = grid->horizontalHeader()->sectionSizeHint(c);
        grid->setColumnWidth(c, column.widthTwips > 0 ? twipsToPixels(column.widthTwips, grid)
                                                      : std::max(minimum, heading));
    }
}

void showUnitRows(TextGrid* grid, const std::vector<core::UnitRow>& rows) {
    // Heading clicks sort by the column's values: numbers as numbers, dates as dates.
    grid->showRows(core::unitCells(rows), [rows](int a, int b, int column) {
        return core::compareUnitRows(rows[static_cast<std::size_t>(a)],
                                     rows[static_cast<std::size_t>(b)],
                                     static_cast<core::UnitColumn>(column));
    });
}

}  // namespace fennick::viewer
