#include "unit_grid.h"

#include <QHeaderView>
#include <QScrollBar>
#include <algorithm>

#include "twips.h"
#include "unit_table_model.h"

namespace fennick::viewer {

UnitGrid::UnitGrid(const QString& objectName, QWidget* parent)
    : GridView(objectName, parent), units_(new UnitTableModel(this)) {
    setSourceModel(units_);
}

void UnitGrid::setHeadings(const std::vector<std::string>& headings) {
    units_->setHeadings(headings);
    const int minimum = twipsToPixels(core::kOtherColumnTwips, this);
    const auto& columns = core::unitColumns();
    for (int c = 0; c < columnCount() && c < static_cast<int>(columns.size()); ++c) {
        const core::UnitColumnInfo& column = columns[static_cast<std::size_t>(c)];
        setColumnHidden(c, column.hidden);
        const int heading = horizontalHeader()->sectionSizeHint(c);
        setColumnWidth(c, column.widthTwips > 0 ? twipsToPixels(column.widthTwips, this)
                                                : std::max(minimum, heading));
    }
}

const std::vector<std::string>& UnitGrid::headings() const {
    return units_->headings();
}

void UnitGrid::showRows(std::vector<core::UnitRow> rows) {
    units_->setRows(std::move(rows));
}

const std::vector<core::UnitRow>& UnitGrid::rows() const {
    return units_->rows();
}

const core::UnitRow* UnitGrid::currentUnit() const {
    return units_->row(currentDataRow());
}

std::vector<core::UnitRow> UnitGrid::shownRows() const {
    std::vector<core::UnitRow> shown;
    for (int r = 0; r < rowCount(); ++r)
        if (const core::UnitRow* row = units_->row(dataRowAt(r))) shown.push_back(*row);
    return shown;
}

QList<int> UnitGrid::columnWidths() const {
    QList<int> widths;
    for (int c = 0; c < columnCount(); ++c)
        widths << (isColumnHidden(c) ? 0 : columnWidth(c));
    return widths;
}

void UnitGrid::restoreColumnWidths(const QList<int>& widths) {
    const int least = horizontalHeader()->minimumSectionSize();
    for (int c = 0; c < columnCount() && c < widths.size(); ++c)
        if (!isColumnHidden(c) && widths[c] >= least) setColumnWidth(c, widths[c]);
}

void UnitGrid::keepInView(int columns, int rows) {
    int width = 0, counted = 0;
    for (int c = 0; c < columnCount() && counted < columns; ++c) {
        if (isColumnHidden(c)) continue;
        width += columnWidth(c);
        ++counted;
    }
    const int frame = 2 * frameWidth();
    setMinimumWidth(width + frame + verticalScrollBar()->sizeHint().width());
    setMinimumHeight(horizontalHeader()->sizeHint().height() +
                     rows * verticalHeader()->defaultSectionSize() + frame +
                     horizontalScrollBar()->sizeHint().height());
}

}  // namespace fennick::viewer
