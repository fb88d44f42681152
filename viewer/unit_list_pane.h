#pragma once
// The unit list: the line that counts the listed model's units with the "Add to Pick List"
// button, the unit grid below it (the Unit column kept in view, sorted by heading clicks,
// several rows selectable for Ctrl+C; a double-click or Insert adds the row to the pick list)
// and its pop-up menu. It lists a model on the window's worker and owns the rows it shows; the
// menu's unit items are reported for the window to carry out, "Save List as CSV..." it does
// itself.

#include <QWidget>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "core/unit_detail.h"
#include "core/unit_row.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;

namespace fennick::viewer {

class BackgroundWork;
class UnitGrid;

class UnitListPane : public QWidget {
    Q_OBJECT

  public:
    // The menu's items that act on the current unit, in menu order.
    enum class Action { AddToInvoice, Print, Totals, QuickPayment, AddToPickList };

    explicit UnitListPane(QWidget* parent = nullptr);

    UnitGrid* grid() const { return grid_; }
    void setHeadings(const std::vector<std::string>& headings);
    const std::vector<std::string>& headings() const;
    // Lists the model on `work` (a listing under way gives way), then shows its rows and runs
    // `listed`. A cancelled listing leaves the list empty and says so (outcome); it runs nothing
    // more, nor does a failed one, whose failure has been shown.
    void list(BackgroundWork& work, const std::string& lineCode, const std::string& model,
              std::function<void()> listed);
    // No rows and no count.
    void clear();
    bool empty() const;
    const core::UnitRow* currentUnit() const;
    // The current row as the list holds it (not as sorted), or -1.
    int currentRow() const;
    // Makes the first row of `unit` current (of `serial` too, when given) without raising
    // unitPicked; false when the list has no such row.
    bool selectUnit(const std::string& unit, const std::string* serial = nullptr);
    void selectTopRow();

    // The menu items follow the unit buttons; "Add to Pick List" needs only a unit row, which
    // the menu does not open without. The button of that name follows the unit shown.
    void enableActions(const core::UnitButtons& on);
    void showAddToInvoice(bool shown);

  signals:
    // The user made a row current, or pressed Enter on one.
    void unitPicked();
    void actionChosen(UnitListPane::Action action);
    // What the window should show once the work has ended (a cancelled listing).
    void outcome(const QString& text);

  private:
    void buildMenu();
    void showMenu(const QPoint& at);
    void showCount(bool listed);
    void saveList();

    void addCurrentToPickList();

    QLabel* count_;
    QPushButton* addToPickList_;
    UnitGrid* grid_;
    QMenu* menu_ = nullptr;
    std::array<QAction*, 5> actions_{};
};

}  // namespace fennick::viewer
