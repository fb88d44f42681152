#pragma once
// A read-only grid of text rows under a heading row, as the main window's grids are: one whole
// row selected at a time, some columns hidden, Enter reported as its own signal. Cells hold the
// dealer's Windows-1252 text and show it as Unicode; a cell cut short shows its whole text as
// its tool tip. A grid may let the user sort it by a heading click and keep its first column
// in view; sorting changes only what is shown: row numbers going in and out (showRows,
// selectRowQuietly, currentDataRow, rowPicked) are always those of the rows as given.

#include <QTableWidget>
#include <functional>
#include <string>
#include <vector>

namespace fennick::viewer {

class FrozenColumn;

// Orders two rows (as given) by a column: negative, zero or positive.
using ColumnComparison = std::function<int(int a, int b, int column)>;

class TextGrid : public QTableWidget {
    Q_OBJECT

  public:
    explicit TextGrid(const QString& objectName, QWidget* parent = nullptr);
    ~TextGrid() override;

    void setHeadings(const std::vector<std::string>& headings);
    // Widths of the first columns, in twips.
    void setColumnWidthsTwips(const std::vector<int>& widths);
    // Which columns stand right-aligned (the first ones; the others are left-aligned).
    void setRightAligned(const std::vector<bool>& columns);
    // A heading click sorts by that column; the next click reverses it, the third shows the
    // rows in the order they came in again.
    void enableSorting();
    void freezeFirstColumn();
    // Replaces every row; no row is current afterwards and rowPicked is not raised.
    // A heading click sorts by `compare`, or by the cells' texts without one.
    void showRows(const std::vector<std::vector<std::string>>& rows, ColumnComparison compare = {});
    void showRows(const std::vector<std::string>& singleColumnRows);
    // Makes `row` current and selected without raising rowPicked.
    void selectRowQuietly(int row);
    // The same for the row shown at the top; no-op without rows.
    void selectTopRowQuietly();
    // The current row, or -1 when the grid has no rows or none is current.
    int currentDataRow() const;
    // The text of a cell as shown, by shown row; empty when there is no such cell.
    QString cellText(int row, int column) const;
    // The row as given that stands at shown row `shownRow`, or -1.
    int dataRowAt(int shownRow) const;
    // What Ctrl+C puts on the clipboard: the heading row, then the selected rows as they stand,
    // one line each, of the columns shown in the order they stand, each cell as shown and
    // separated by tabs. A tab or line break inside a cell becomes a blank. Empty without a
    // selected row.
    QString selectedRowsText() const;

  signals:
    // The user made another row current, by mouse or keyboard.
    void rowPicked(int row);
    void enterPressed();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void updateGeometries() override;

  private:
    void sortBy(int column);
    // Shows rows_ in order_, the row `keep` (a row as given) current again.
    void fill(int keep);
    int shownRowOf(int row) const;
    QString cellOf(int row, int column) const;

    std::vector<std::vector<std::string>> rows_;
    std::vector<int> order_;  // shown row -> row as given
    ColumnComparison compare_;
    std::vector<bool> rightAligned_;
    int sortColumn_ = -1;
    bool descending_ = false;
    FrozenColumn* frozen_ = nullptr;
};

}  // namespace fennick::viewer
