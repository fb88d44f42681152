#pragma once
// The windows' grid: a read-only view of a table model's rows under a heading row, whole rows
// selected, Tab leaving the grid while the arrows move in it, Enter reported as its own signal,
// Ctrl+C copying the selected rows under their headings, the menu keys opening its pop-up menu
// and a cut cell showing its whole text as a tip; without rows it may say what to do to fill
// it. The rows pass through a sort proxy: a grid
// may let the user sort it by a heading click (by the model's kSortRole) and keep its first
// column in view. Sorting reorders only the proxy's map of the rows; row numbers going in and
// out (selectRowQuietly, currentDataRow, dataRowAt, rowPicked) are always the model's own.

#include <QTableView>
#include <vector>

class QSortFilterProxyModel;

namespace fennick::viewer {

class FrozenColumn;

class GridView : public QTableView {
    Q_OBJECT

  public:
    // The value a heading click sorts a column by: a number (money in ten-thousandths, a date
    // as its day number) or a text, compared by its characters.
    static constexpr int kSortRole = Qt::UserRole;

    GridView(const QString& objectName, QWidget* parent);
    ~GridView() override;

    // Widths of the first columns, in twips.
    void setColumnWidthsTwips(const std::vector<int>& widths);
    // A heading click sorts by that column; the next click reverses it, the third shows the
    // rows in the model's order again.
    void enableSorting();
    void freezeFirstColumn();
    // What the grid says while it has no rows; empty: nothing.
    void setEmptyText(const QString& text);
    QString emptyText() const { return emptyText_; }

    // Makes the model's row `row` current and selected without raising rowPicked; no row is
    // current when it does not exist.
    void selectRowQuietly(int row);
    // The same for the row shown at the top; no-op without rows.
    void selectTopRowQuietly();
    // The model's row that is current, or -1.
    int currentDataRow() const;
    // The model's row shown at `shownRow`, or -1.
    int dataRowAt(int shownRow) const;

    // What the grid shows, by shown row: how many rows and columns, the current row (-1: none),
    // a cell's text (empty when there is no such cell) and a column's heading.
    int rowCount() const;
    int columnCount() const;
    int currentRow() const;
    QString cellText(int shownRow, int column) const;
    QString headingText(int column) const;
    // What Ctrl+C puts on the clipboard: the heading row, then the selected rows as they stand,
    // one line each, of the columns shown in the order they stand, each cell as shown and
    // separated by tabs. Cells are guarded as CSV cells are (core::spreadsheetCell), and a tab
    // inside a cell becomes a blank. Empty without a selected row.
    QString selectedRowsText() const;

  signals:
    // The user made another row current, by mouse or keyboard; `row` is the model's.
    void rowPicked(int row);
    void enterPressed();
    void insertPressed();
    // A double click on the model's row `row`, in the grid or its frozen column.
    void rowDoubleClicked(int row);

  protected:
    // The rows the grid shows; the grid does not own the model.
    void setSourceModel(QAbstractItemModel* source);
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void updateGeometries() override;

  private:
    void sortBy(int column);
    int shownRowOf(int row) const;

    QSortFilterProxyModel* proxy_;
    void doubleClickedAt(const QModelIndex& shown);

    QString emptyText_;
    int sortColumn_ = -1;
    bool descending_ = false;
    FrozenColumn* frozen_ = nullptr;
};

}  // namespace fennick::viewer
