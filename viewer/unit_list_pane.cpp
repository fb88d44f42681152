#include "unit_list_pane.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

#include "background_work.h"
#include "core/list_csv.h"
#include "core/unit_list.h"
#include "data_store.h"
#include "engine/codec.h"
#include "event_guard.h"
#include "save_file.h"
#include "shown_text.h"
#include "twips.h"
#include "unit_grid.h"

namespace fennick::viewer {

namespace {

// What the status bar says while a listing runs; short, since it shares the bar with the
// connection panels.
QString listStep(const QString& model, const core::ProgressStep& step) {
    if (step.text.empty()) return QString("Listing %1: checking open sales").arg(model);
    return QString("Listing %1: %2 units read").arg(model).arg(step.done);
}

const char* const kChooseModel = "Choose a model on the left, or press Ctrl+F to find a unit";

}  // namespace

UnitListPane::UnitListPane(QWidget* parent)
    : QWidget(parent),
      count_(new QLabel(this)),
      addToPickList_(new QPushButton("Add to Pick &List", this)),
      grid_(new UnitGrid("grdUnit", this)) {
    setObjectName("unitPane");
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(twipsToPixels(30, this));
    count_->setObjectName("lblUnitCount");
    addToPickList_->setObjectName("cmdAddToPickList");
    addToPickList_->setToolTip(
        "Adds the selected unit to the pick list (also a double-click or "
        "Insert on its row)");
    addToPickList_->setEnabled(false);
    auto* top = new QHBoxLayout;
    top->addWidget(count_, 1);
    top->addWidget(addToPickList_);
    column->addLayout(top);
    column->addWidget(grid_, 1);
    grid_->setEmptyText(kChooseModel);
    grid_->enableSorting();
    // Several rows may be selected, for Ctrl+C; the current one is the unit shown.
    grid_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid_->freezeFirstColumn();
    buildMenu();
    connect(grid_, &UnitGrid::rowPicked, this, &UnitListPane::unitPicked);
    connect(grid_, &UnitGrid::enterPressed, this, &UnitListPane::unitPicked);
    connect(grid_, &QWidget::customContextMenuRequested, this, &UnitListPane::showMenu);
    connect(grid_, &GridView::rowDoubleClicked, this, &UnitListPane::addCurrentToPickList);
    connect(grid_, &GridView::insertPressed, this, &UnitListPane::addCurrentToPickList);
    connect(addToPickList_, &QPushButton::clicked, this, &UnitListPane::addCurrentToPickList);
}

void UnitListPane::addCurrentToPickList() {
    if (currentUnit()) emit actionChosen(Action::AddToPickList);
}

void UnitListPane::buildMenu() {
    menu_ = new QMenu("Select", this);
    menu_->setObjectName("GridPrint");
    const char* const items[] = {"Add to Invoice", "Print", "Totals", "QuickPayment Calculator",
                                 "Add to Pick List"};
    for (std::size_t i = 0; i < actions_.size(); ++i) {
        actions_[i] = menu_->addAction(items[i]);
        connect(actions_[i], &QAction::triggered, this,
                [this, i] { emit actionChosen(static_cast<Action>(i)); });
    }
    menu_->addSeparator();
    QAction* save = menu_->addAction("Save List as CSV...");
    save->setObjectName("saveListCsv");
    connect(save, &QAction::triggered, this, &UnitListPane::saveList);
}

void UnitListPane::setHeadings(const std::vector<std::string>& headings) {
    grid_->setHeadings(headings);
}

const std::vector<std::string>& UnitListPane::headings() const {
    return grid_->headings();
}

void UnitListPane::list(BackgroundWork& work, const std::string& lineCode, const std::string& model,
                        std::function<void()> listed) {
    clear();
    grid_->setEmptyText(QString());  // the status bar shows the listing
    auto list = std::make_shared<core::UnitList>();
    const QString name = shownText(codec::trun(model));
    work.start(
        JobKind::List,
        [lineCode, model, list](core::WorkProgress& progress) {
            *list = core::LoadUnits(dataStore(), lineCode, model,
                                    core::AllocationCheck::OncePerList, &progress);
        },
        [this, list, name, listed = std::move(listed)](std::exception_ptr failure) {
            const bool shown = guarded("LoadUnits", [&] {
                if (failure) std::rethrow_exception(failure);
                if (list->cancelled)
                    emit outcome(QString("Listing model %1 was cancelled").arg(name));
                grid_->showRows(std::move(list->rows));
                showCount(!list->cancelled);
                showProblems(list->problems);
            });
            if (shown && !list->cancelled) listed();
        },
        [name](const core::ProgressStep& step) { return listStep(name, step); });
}

void UnitListPane::clear() {
    grid_->showRows({});
    grid_->setEmptyText(kChooseModel);
    showCount(false);
}

bool UnitListPane::empty() const {
    return grid_->rows().empty();
}

const core::UnitRow* UnitListPane::currentUnit() const {
    return grid_->currentUnit();
}

int UnitListPane::currentRow() const {
    return grid_->currentDataRow();
}

bool UnitListPane::selectUnit(const std::string& unit, const std::string* serial) {
    const auto& rows = grid_->rows();
    for (std::size_t r = 0; r < rows.size(); ++r)
        if (rows[r].unit == unit && (!serial || rows[r].serial == *serial)) {
            grid_->selectRowQuietly(static_cast<int>(r));
            return true;
        }
    return false;
}

void UnitListPane::selectTopRow() {
    grid_->selectTopRowQuietly();  // the first unit as the grid shows them
}

void UnitListPane::showCount(bool listed) {
    if (!listed) return count_->clear();
    const std::size_t count = grid_->rows().size();
    count_->setText(count == 0   ? QString("No units in stock")
                    : count == 1 ? QString("1 unit")
                                 : QString("%1 units").arg(count));
}

void UnitListPane::enableActions(const core::UnitButtons& on) {
    actions_[0]->setEnabled(on.addToInvoice);
    actions_[1]->setEnabled(on.print);
    actions_[2]->setEnabled(on.totals);
    actions_[3]->setEnabled(on.quickPayment);
    actions_[4]->setEnabled(true);
    addToPickList_->setEnabled(on.totals);
}

void UnitListPane::showAddToInvoice(bool shown) {
    actions_[0]->setVisible(shown);
}

void UnitListPane::showMenu(const QPoint& at) {
    if (empty()) return;
    menu_->popup(grid_->viewport()->mapToGlobal(at));
}

// The listed units in the order the grid shows them.
void UnitListPane::saveList() {
    saveThroughDialog(this, {"Save List as CSV", "Units.csv", "CSV files (*.csv)", "csv"},
                      core::unitsCsv(headings(), grid_->shownRows()));
}

}  // namespace fennick::viewer
