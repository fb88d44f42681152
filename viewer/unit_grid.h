#pragma once
// The grids that show unit rows, the unit grid and the pick list: a GridView over a
// UnitTableModel, with the headings, hidden columns, widths and alignment of the unit column
// table.

#include <QList>
#include <string>
#include <vector>

#include "core/unit_row.h"
#include "grid_view.h"

namespace fennick::viewer {

class UnitTableModel;

class UnitGrid : public GridView {
    Q_OBJECT

  public:
    explicit UnitGrid(const QString& objectName, QWidget* parent = nullptr);

    // Headings as given; hidden columns and widths as the table says (a column without a
    // width is as wide as its heading, and never narrower than kOtherColumnTwips).
    void setHeadings(const std::vector<std::string>& headings);
    const std::vector<std::string>& headings() const;
    // Replaces every row; no row is current afterwards and rowPicked is not raised.
    void showRows(std::vector<core::UnitRow> rows);
    const std::vector<core::UnitRow>& rows() const;
    // The current row's unit, or null.
    const core::UnitRow* currentUnit() const;
    // The rows in the order the grid shows them.
    std::vector<core::UnitRow> shownRows() const;

    // The widths of the columns (0 for a hidden one), and widths put back: a width narrower
    // than a column may be, or for a hidden column, is left out.
    QList<int> columnWidths() const;
    void restoreColumnWidths(const QList<int>& widths);
    // The smallest size that keeps the first `columns` shown columns and `rows` rows in view.
    void keepInView(int columns, int rows);

  private:
    UnitTableModel* units_;
};

}  // namespace fennick::viewer
