#pragma once
// Keeps a grid's first column in view while the grid scrolls sideways: a second view lies over
// the grid's left edge showing that column of the same rows. It shares the grid's model and
// selection, scrolls up and down with it, and hands clicks on its heading and right clicks to
// the grid, so that it acts as the grid's own first column.

#include <QTableView>

namespace fennick::viewer {

class FrozenColumn : public QTableView {
    Q_OBJECT

  public:
    explicit FrozenColumn(QTableView* grid);

    // Lays the view over the grid's first column again (after the grid resized or its columns
    // changed).
    void fit();
    // Shows the grid's sort indicator as the grid's heading shows it (or not at all).
    void followSortIndicator();

  private:
    void showOnlyFirstColumn();

    QTableView* grid_;
};

}  // namespace fennick::viewer
