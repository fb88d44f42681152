#include "frm_units.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>

#include "background_work.h"
#include "core/export_file.h"
#include "core/list_csv.h"
#include "core/unit_detail.h"
#include "detail_panel.h"
#include "engine/codec.h"
#include "engine_access.h"
#include "event_guard.h"
#include "frm_stock_ageing.h"
#include "frm_totals.h"
#include "frm_unit_data.h"
#include "hand_offs.h"
#include "model_tree_view.h"
#include "pick_list_tab.h"
#include "save_file.h"
#include "shown_text.h"
#include "text_grid.h"
#include "twips.h"
#include "unit_finder.h"
#include "unit_grid.h"
#include "work_status.h"

namespace fennick::viewer {

namespace {

constexpr int kPickListTab = 5;
constexpr int kFilterItem = 3;
constexpr std::size_t kAddToPickListItem = 4;
constexpr int kTreeWidth = 3315;  // twips

// What the status bar says while work runs; short, since it shares the bar with the
// connection panels.
QString treeStep(const core::ProgressStep& step) {
    return QString("Reading line %1").arg(shownText(codec::trun(step.text)));
}

QString listStep(const QString& model, const core::ProgressStep& step) {
    if (step.text.empty()) return QString("Listing %1: checking open sales").arg(model);
    return QString("Listing %1: %2 units read").arg(model).arg(step.done);
}

}  // namespace

FrmUnits::FrmUnits(Options options, QWidget* parent)
    : QMainWindow(parent), options_(std::move(options)) {
    work_ = new BackgroundWork(this);
    buildWidgets();
    connectEvents();
}

FrmUnits::~FrmUnits() {
    // Taking the window down moves the keyboard out of the finder, which must not call back
    // into a window that is half gone.
    disconnect(finder_, nullptr, this, nullptr);
    Form_Unload();
}

void FrmUnits::connectEvents() {
    connect(tv1_, &ModelTreeView::nodeClicked, this, &FrmUnits::tv1_NodeClick);
    connect(tv1_, &QWidget::customContextMenuRequested, this, &FrmUnits::showTreeMenu);
    connect(grdUnit_, &UnitGrid::rowPicked, this, &FrmUnits::grdUnit_RowSelected);
    connect(grdUnit_, &UnitGrid::enterPressed, this, &FrmUnits::grdUnit_RowSelected);
    connect(grdUnit_, &QWidget::customContextMenuRequested, this, &FrmUnits::showGridMenu);
    for (int i = 0; i < static_cast<int>(ctree_.size()); ++i)
        connect(ctree_[static_cast<std::size_t>(i)], &QAction::triggered, this,
                [this, i] { ctree_Click(i); });
    connect(pickListTab_, &PickListTab::cleared, this, [this] {
        rules_.pickListCleared();
        applyButtons();
    });
    for (int i = 0; i < static_cast<int>(gprint_.size()); ++i)
        connect(gprint_[static_cast<std::size_t>(i)], &QAction::triggered, this,
                [this, i] { gprint_Click(i); });
    connect(cmdAddToInvoice_, &QPushButton::clicked, this, &FrmUnits::cmdAddToInvoice_Click);
    connect(cmdPrint_, &QPushButton::clicked, this, &FrmUnits::cmdPrint_Click);
    connect(cmdTotals_, &QPushButton::clicked, this, &FrmUnits::cmdTotals_Click);
    connect(cmdQp_, &QPushButton::clicked, this, &FrmUnits::cmdQp_Click);
    connect(cmdExit_, &QPushButton::clicked, this, &FrmUnits::cmdExit_Click);
    connect(refresh_, &QAction::triggered, this, &FrmUnits::refresh);
    connect(stockAgeing_, &QAction::triggered, this, &FrmUnits::stockAgeing_Click);
    connect(saveList_, &QAction::triggered, this, &FrmUnits::saveList_Click);
    connect(treeSplit_, &QSplitter::splitterMoved, this, [this] {
        if (tv1_->width() > 0 && tv1_->minimumWidth() == 0) tv1_->fitLineNames();
    });
    connect(work_, &BackgroundWork::finished, this, &FrmUnits::applyButtons);
    connectFinder();
}

bool FrmUnits::Form_Load() {
    try {
        const bool started = startEngine(options_.engine);
        engineStarted_ = true;
        if (!started) {
            Form_Unload();
            return false;
        }
        startUp();
    } catch (const std::exception& failure) {
        showFailure(failure, "Form_Load");
        Form_Unload();
        return false;
    }
    return true;
}

// Everything the window sets up once the engine runs, in this order: the command line, the
// caption, the status bar, the saved filter, the user-defined names with the captions and
// headings built from them, the first tab and the buttons; then the tree is built, and the
// model the command line names is selected in it. The names are read before the tree, since
// the engine is the tree builder's until it ends.
void FrmUnits::startUp() {
    commandLine_ = core::parseCommandLine(options_.commandLine);
    rules_ = core::UnitButtonRules(commandLine_.fromPointOfSale);
    gprint_[0]->setVisible(!commandLine_.hideAddToInvoiceMenu);
    setTreeShown(true);
    setWindowTitle(QString::fromStdString(
        core::captionText(windowTitle().toStdString(), commandLine_.fromPointOfSale)));
    auto panels = core::statusBarTexts(engineSystem());
    for (std::size_t i = 0; i < panels.size(); ++i)
        sb1_[i]->setText(QString::fromStdString(panels[i]));
    inStockOnly_ =
        core::inStockFilterFromSetting(options_.settings->value(core::kInStockSetting, "0"));
    ctree_[kFilterItem]->setChecked(inStockOnly_);
    core::UserDefinedNames names = core::readUserDefinedNames(engine());
    details_->setCaptions(core::detailCaptions(names));
    unitHeadings_ = core::unitGridHeadings(names);
    grdUnit_->setHeadings(unitHeadings_);
    pickListTab_->setHeadings(unitHeadings_);
    restoreLayout();
    SSTab1_->setCurrentIndex(0);
    applyButtons();
    buildTree(
        "Form_Load",
        [this](const KeptSelection&) {
            if (commandLine_.lineAndModelGiven)
                guarded("findSelectUnit", [&] {
                    selectModelFromCommandLine(commandLine_.elements[1], commandLine_.elements[2]);
                });
        },
        [this] {
            startFailed_ = true;
            close();
        });
}

void FrmUnits::Form_Unload() {
    work_->stop();
    if (!engineStarted_) return;
    engineStarted_ = false;
    releaseEngine();
}

void FrmUnits::closeEvent(QCloseEvent* event) {
    keepLayout();
    Form_Unload();
    event->accept();
}

void FrmUnits::cmdExit_Click() {
    close();
}

// Builds the tree on the worker thread, then shows it expanded and hands `shown` what was
// selected in the tree it replaced. A failure is shown with `procedure`'s name and runs
// `failed`. A cancelled build shows the lines read until then, with an empty unit list.
void FrmUnits::buildTree(const char* procedure, std::function<void(const KeptSelection&)> shown,
                         std::function<void()> failed) {
    const bool inStockOnly = inStockOnly_;
    auto built = std::make_shared<core::ModelTreeData>();
    work_->start(
        JobKind::Tree,
        [inStockOnly, built](core::WorkProgress& progress) {
            *built = core::ModelTree(engine()).loadtree(inStockOnly, &progress);
        },
        [this, procedure, built, shown = std::move(shown),
         failed = std::move(failed)](std::exception_ptr failure) {
            if (failure) {
                guarded(procedure, [&] { std::rethrow_exception(failure); });
                if (failed) failed();
                return;
            }
            KeptSelection kept{tv1_->currentTag(), std::nullopt};
            if (const core::UnitRow* row = currentUnitRow()) kept.unitNumber = row->unit;
            tree_ = std::move(*built);
            tv1_->showTree(tree_);
            tv1_->expandAll();
            keepOnScreen();
            if (tree_.cancelled) return treeCancelled(tree_.lines.size());
            if (shown) shown(kept);
        },
        treeStep);
    applyButtons();
}

void FrmUnits::treeCancelled(std::size_t lines) {
    clearUnitList();
    workStatus_->setOutcome(
        QString("Building the tree was cancelled: it shows the %1 lines read").arg(lines));
}

bool FrmUnits::treeBeingBuilt() const {
    return work_->busyWith(JobKind::Tree);
}

bool FrmUnits::waitUntilIdle(int timeoutMs) {
    return work_->waitUntilIdle(timeoutMs);
}

void FrmUnits::refresh() {
    buildTree("loadtree", [this](const KeptSelection& kept) { restoreSelection(kept); });
}

// After a refresh: the node selected before is selected again and its model listed again, with
// the unit row selected before shown again; what no longer exists is left unselected.
void FrmUnits::restoreSelection(const KeptSelection& kept) {
    std::optional<core::TreeSelection> node;
    if (kept.nodeTag) node = core::findTag(tree_, *kept.nodeTag);
    if (!node) return clearUnitList();
    tv1_->selectQuietly(*node);
    clearUnitDetails();
    auto [lineCode, model] = core::splitTag(*kept.nodeTag);
    listModel(lineCode, model, [this, unit = kept.unitNumber] {
        for (std::size_t r = 0; unit && r < grdUnit_->rows().size(); ++r)
            if (grdUnit_->rows()[r].unit == *unit) {
                grdUnit_->selectRowQuietly(static_cast<int>(r));
                return grdUnit_RowSelected();
            }
    });
}

void FrmUnits::clearUnitList() {
    grdUnit_->showRows({});
    showUnitCount(false);
    clearUnitDetails();
}

void FrmUnits::showUnitCount(bool listed) {
    if (!listed) return lblUnitCount_->clear();
    const std::size_t count = grdUnit_->rows().size();
    lblUnitCount_->setText(count == 0   ? QString("No units in stock")
                           : count == 1 ? QString("1 unit")
                                        : QString("%1 units").arg(count));
}

// Selects the model the command line names and lists its units, then moves the tree out of
// the way. When no model node matches or the model lists no units, the tree stays, so that
// the user can pick another model.
void FrmUnits::selectModelFromCommandLine(const std::string& xlin, const std::string& xmodel) {
    core::FindSelectResult found = core::findSelectUnit(tree_, xlin, xmodel);
    if (found.selected) tv1_->selectQuietly(*found.selected);
    if (!found.loadUnits) return;
    listModel(xlin, xmodel, [this] {
        if (!grdUnit_->rows().empty()) setTreeShown(false);
    });
}

// While the tree is being rebuilt a click only moves the selection, which a refresh keeps.
// During a listing it lists the clicked model instead.
void FrmUnits::tv1_NodeClick(QTreeWidgetItem* node) {
    if (treeBeingBuilt()) return;
    clearUnitDetails();
    auto [lineCode, model] = core::splitTag(ModelTreeView::tagOf(node));
    listModel(lineCode, model, [this] {
        if (grdUnit_->rows().empty()) return;
        grdUnit_->selectTopRowQuietly();  // the first unit as the grid shows them
        grdUnit_RowSelected();
    });
}

// Lists the model on the worker thread (cancelling a listing under way), then shows the rows
// and runs `listed`. A cancelled listing leaves the list empty and says so; it runs nothing
// more, nor does a failed one.
void FrmUnits::listModel(const std::string& lineCode, const std::string& model,
                         std::function<void()> listed) {
    grdUnit_->showRows({});
    showUnitCount(false);
    auto list = std::make_shared<core::UnitList>();
    const QString name = shownText(codec::trun(model));
    work_->start(
        JobKind::List,
        [lineCode, model, list](core::WorkProgress& progress) {
            *list = core::LoadUnits(engine(), lineCode, model, core::AllocationCheck::OncePerList,
                                    &progress);
        },
        [this, list, name, listed = std::move(listed)](std::exception_ptr failure) {
            bool complete = false;
            guarded("LoadUnits", [&] {
                if (failure) std::rethrow_exception(failure);
                if (list->cancelled)
                    workStatus_->setOutcome(QString("Listing model %1 was cancelled").arg(name));
                grdUnit_->showRows(std::move(list->rows));
                showUnitCount(!list->cancelled);
                showProblems(list->problems);
                complete = !list->cancelled;
            });
            if (complete) listed();
        },
        [name](const core::ProgressStep& step) { return listStep(name, step); });
    applyButtons();
}

// The unit-selected handling: the grid's current unit fills the detail panel and the note
// grids and enables the unit buttons. With no unit rows there is nothing to show. A stock
// check of the finder gives way: the row shows once it has stopped.
void FrmUnits::grdUnit_RowSelected() {
    const core::UnitRow* row = currentUnitRow();
    if (row && work_->busyWith(JobKind::Search)) {
        found_.rowWaits = true;
        return work_->cancel();
    }
    if (!row || work_->busy()) return;
    clearUnitDetails();
    guarded("showUnitDetails", [&] {
        core::UnitDetail detail = core::selectUnit(engine(), *row);
        grdUnitChain_[0]->showRows(detail.grids.factory);
        grdUnitChain_[1]->showRows(detail.grids.dealer);
        grdUnitChain_[2]->showRows(detail.grids.attached);
        grdUnitChain_[3]->showRows(detail.grids.notes);
        details_->showValues(detail.values);
        shownGrids_ = std::move(detail.grids);
        shownRow_ = grdUnit_->currentDataRow();
        rules_.unitShown();
        applyButtons();
        showProblems(detail.problems);
    });
}

void FrmUnits::clearUnitDetails() {
    shownGrids_ = core::NoteGrids{};
    shownRow_ = -1;
    rules_.unitCleared();
    applyButtons();
    for (TextGrid* grid : grdUnitChain_)
        grid->showRows(std::vector<std::vector<std::string>>{});
    details_->clear();
    pickListTab_->blankTotals();
}

// While work runs the unit buttons wait: they would need the engine.
void FrmUnits::applyButtons() {
    core::UnitButtons on = work_->busy() ? core::UnitButtons{} : rules_.buttons();
    cmdTotals_->setEnabled(on.totals);
    cmdQp_->setEnabled(on.quickPayment);
    cmdPrint_->setEnabled(on.print);
    cmdAddToInvoice_->setEnabled(on.addToInvoice);
    // The grid menu's items follow their buttons; "Add to Pick List" needs only a unit row,
    // which the menu does not open without.
    gprint_[0]->setEnabled(on.addToInvoice);
    gprint_[1]->setEnabled(on.print);
    gprint_[2]->setEnabled(on.totals);
    gprint_[3]->setEnabled(on.quickPayment);
    gprint_[kAddToPickListItem]->setEnabled(true);
    stockAgeing_->setEnabled(!work_->busy());
}

void FrmUnits::cmdAddToInvoice_Click() {
    guarded("cmdAddToInvoice_Click", [&] { addToInvoice(); });
}

void FrmUnits::cmdPrint_Click() {
    guarded("cmdPrint_Click", [&] { printUnit(); });
}

void FrmUnits::cmdTotals_Click() {
    guarded("cmdTotals_Click", [&] { showUnitTotals(); });
}

void FrmUnits::cmdQp_Click() {
    guarded("cmdQp_Click", [&] { qpayment(); });
}

void FrmUnits::gprint_Click(int index) {
    guarded("gprint_Click", [&] {
        switch (index) {
            case 0:
                return addToInvoice();
            case 1:
                return printUnit();
            case 2:
                return showUnitTotals();
            case 3:
                return qpayment();
            case 4:
                return addToPickList();
            default:
                return;
        }
    });
}

// Hands the selected unit, the pick list or (from the point of sale) the export editing window
// over; the program ends once the hand-off says so.
void FrmUnits::addToInvoice() {
    const core::PickList& list = pickList();
    if (core::exportWay(commandLine_.fromPointOfSale, list.used()) == core::ExportWay::PickList &&
        !list.empty())
        pickListTab_->grid()->selectRowQuietly(0);
    cBusinessBasic& data = engine();
    InvoiceHandOff handOff{commandLine_.fromPointOfSale,
                           list.used(),
                           currentUnitRow(),
                           list.rows(),
                           &data.Share(),
                           data.CastellSys()};
    if (viewer::addToInvoice(this, handOff)) close();
}

// The report pairs a row with that unit's note grids: those kept from showing it, or read
// anew when the current row is not the unit shown.
void FrmUnits::printUnit() {
    const core::UnitRow* row = currentUnitRow();
    if (!row) return;
    if (grdUnit_->currentDataRow() == shownRow_) {
        showUnitData(this, unitHeadings_, *row, shownGrids_);
        return;
    }
    core::UnitDetail detail = core::selectUnit(engine(), *row);
    showUnitData(this, unitHeadings_, *row, detail.grids);
}

void FrmUnits::showUnitTotals() {
    if (const core::UnitRow* row = currentUnitRow()) showTotals(this, *row);
}

void FrmUnits::qpayment() {
    if (const core::UnitRow* row = currentUnitRow())
        quickPayment(this, *row, quickPaymentProgram(*options_.settings));
}

void FrmUnits::ctree_Click(int index) {
    if (index == 0) tv1_->collapseAll();
    if (index == 1) tv1_->expandAll();
    if (index != kFilterItem) return;
    inStockOnly_ = !inStockOnly_;
    ctree_[kFilterItem]->setChecked(inStockOnly_);
    guarded("ctree_Click", [&] {
        options_.settings->save(core::kInStockSetting, inStockOnly_ ? "1" : "0");
        clearUnitList();
        buildTree("ctree_Click", nullptr);
    });
}

void FrmUnits::stockAgeing_Click() {
    if (work_->busy()) return;
    openStockAgeing(*work_, this);
    applyButtons();
}

void FrmUnits::saveList_Click() {
    saveThroughDialog(this, {"Save List as CSV", "Units.csv", "CSV files (*.csv)", "csv"},
                      core::unitsCsv(unitHeadings_, grdUnit_->shownRows()));
}

void FrmUnits::addToPickList() {
    const core::UnitRow* row = currentUnitRow();
    if (!row) return;
    SSTab1_->setCurrentIndex(kPickListTab);
    rules_.pickListAdded();
    applyButtons();
    pickListTab_->add(*row);
}

void FrmUnits::showTreeMenu(const QPoint& at) {
    mnuTree_->popup(tv1_->viewport()->mapToGlobal(at));
}

void FrmUnits::showGridMenu(const QPoint& at) {
    if (grdUnit_->rows().empty()) return;
    GridPrint_->popup(grdUnit_->viewport()->mapToGlobal(at));
}

// The tree's display flag. Off, the tree folds away behind the splitter handle, from where the
// user can still drag it back.
void FrmUnits::setTreeShown(bool shown) {
    treeShown_ = shown;
    // Folded, the tree has no minimum; it gets it back when shown or dragged open.
    if (shown)
        tv1_->fitLineNames();
    else
        tv1_->setMinimumWidth(0);
    QList<int> sizes = treeSplit_->sizes();
    int total = std::max(sizes.value(0) + sizes.value(1), width());
    int tree = shown ? std::max(sizes.value(0), twipsToPixels(kTreeWidth, this)) : 0;
    treeSplit_->setSizes({tree, total - tree});
}

void FrmUnits::selectFirstModel() {
    if (QTreeWidgetItem* model = tv1_->firstModelNode()) tv1_->setCurrentItem(model);
}

const core::UnitRow* FrmUnits::currentUnitRow() const {
    return grdUnit_->currentUnit();
}

const core::PickList& FrmUnits::pickList() const {
    return pickListTab_->pickList();
}

std::optional<std::string> FrmUnits::selectedNodeTag() const {
    return tv1_->currentTag();
}

}  // namespace fennick::viewer
