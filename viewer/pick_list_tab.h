#pragma once
// The tab "Pick List": the units collected for a hand-off to the point of sale, with the totals
// of their suggested and dealer list prices, Up and Down to reorder them, "Delete Item" and
// "Clear". The rows live in the core's PickList, which holds a unit once at most; the grid shows
// them again after every change, with the Unit column kept in view, and the totals are always
// the sums of the rows there.

#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <string>
#include <vector>

#include "core/pick_list.h"
#include "unit_grid.h"

namespace fennick::viewer {

class PickListTab : public QWidget {
    Q_OBJECT

  public:
    explicit PickListTab(QWidget* parent = nullptr);

    // The unit grid's headings; hidden columns and widths as the unit grid has them.
    void setHeadings(const std::vector<std::string>& headings);
    // Adds the unit's row; false when the list holds the unit already, whose row is then made
    // current instead.
    bool add(const core::UnitRow& row);
    const core::PickList& pickList() const { return list_; }
    UnitGrid* grid() const { return grid_; }

  signals:
    // "Clear" emptied the list.
    void cleared();

  public slots:
    void cmdDelPL_Click();
    void cmdClearPL_Click();
    void cmdItemUp_Click();
    void cmdItemDown_Click();

  private:
    void showRows(int current);
    void showTotals();
    void move(bool up);

    core::PickList list_;
    UnitGrid* grid_;
    QLabel* totalSuggested_;  // lblpltot(0)
    QLabel* totalDealer_;     // lblpltot(1)
    QPushButton* up_;
    QPushButton* down_;
    QPushButton* delete_;
    QPushButton* clear_;
};

}  // namespace fennick::viewer
