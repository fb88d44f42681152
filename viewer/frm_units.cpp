#include "frm_units.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <utility>

#include "background_work.h"
#include "core/unit_search.h"
#include "data_store.h"
#include "detail_tabs.h"
#include "engine/codec.h"
#include "event_guard.h"
#include "finder_pane.h"
#include "frm_stock_ageing.h"
#include "model_tree_view.h"
#include "pick_list_tab.h"
#include "platform/share_access.h"
#include "shown_text.h"
#include "tree_pane.h"
#include "unit_grid.h"
#include "work_status.h"

namespace fennick::viewer {

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

bool FrmUnits::Form_Load() {
    try {
        const bool started = openDataStore(options_.store);
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
    units_->showAddToInvoice(!commandLine_.hideAddToInvoiceMenu);
    setTreeShown(true);
    setWindowTitle(QString::fromStdString(
        core::captionText(windowTitle().toStdString(), commandLine_.fromPointOfSale)));
    auto panels = core::statusBarTexts(dataStore().system());
    for (std::size_t i = 0; i < panels.size(); ++i)
        sb1_[i]->setText(QString::fromStdString(panels[i]));
    tree_->setInStockOnly(
        core::inStockFilterFromSetting(options_.settings->value(core::kInStockSetting, "0")));
    core::UserDefinedNames names = core::readUserDefinedNames(dataStore());
    tabs_->setCaptions(core::detailCaptions(names));
    const std::vector<std::string> headings = core::unitGridHeadings(names);
    units_->setHeadings(headings);
    pickList_->setHeadings(headings);
    restoreLayout();
    tabs_->setCurrentIndex(0);
    applyButtons();
    tree_->keepTrees(core::treeCacheKey(dataStore().system(),
                                        platform::localShareRoot(options_.store.share), false));
    buildTree(
        "Form_Load",
        [this](const KeptSelection&) {
            if (commandLine_.lineAndModelGiven)
                guarded("findSelectUnit", [&] {
                    selectModelFromCommandLine(commandLine_.elements[1], commandLine_.elements[2]);
                });
        },
        [this] {
            // The kept tree stays when the fresh one could not be read: the user works on.
            if (tree_->showsKeptTree()) return;
            startFailed_ = true;
            close();
        },
        true);
}

void FrmUnits::Form_Unload() {
    work_->stop();
    if (!engineStarted_) return;
    engineStarted_ = false;
    closeDataStore();
}

void FrmUnits::closeEvent(QCloseEvent* event) {
    keepLayout();
    Form_Unload();
    event->accept();
}

void FrmUnits::buildTree(const char* procedure, std::function<void(const KeptSelection&)> shown,
                         std::function<void()> failed, bool fromKept) {
    auto built = [this, procedure, shown = std::move(shown), failed = std::move(failed)](
                     std::exception_ptr failure, const std::optional<std::string>& tag) {
        if (failure) {
            guarded(procedure, [&] { std::rethrow_exception(failure); });
            if (failed) failed();
            return;
        }
        KeptSelection kept{tag, std::nullopt};
        if (const core::UnitRow* row = currentUnitRow()) kept.unitNumber = row->unit;
        keepOnScreen();
        if (tree_->tree().cancelled) return clearUnitList();
        if (shown) shown(kept);
    };
    if (fromKept) return tree_->buildFromKept(*work_, std::move(built));
    tree_->build(*work_, std::move(built));
}

// The fresh tree replaced the kept one at the start. The node selected stays, with its unit
// list as read; one the fresh tree lacks takes its list along. Before any pick, the model the
// command line names is looked for again.
void FrmUnits::freshTreeShown(const std::optional<std::string>& keptTag, bool found) {
    keepOnScreen();
    if (keptTag && !found) return clearUnitList();
    if (!keptTag && commandLine_.lineAndModelGiven)
        selectModelFromCommandLine(commandLine_.elements[1], commandLine_.elements[2]);
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
    if (!kept.nodeTag || !tree_->select(*kept.nodeTag)) return clearUnitList();
    auto [lineCode, model] = core::splitTag(*kept.nodeTag);
    listModel(lineCode, model, [this, unit = kept.unitNumber] {
        if (unit && units_->selectUnit(*unit)) unitPicked();
    });
}

void FrmUnits::clearUnitList() {
    units_->clear();
    clearUnitDetails();
}

// Selects the model the command line names and lists its units, then moves the tree out of
// the way. When no model node matches or the model lists no units, the tree stays, so that
// the user can pick another model.
void FrmUnits::selectModelFromCommandLine(const std::string& xlin, const std::string& xmodel) {
    core::FindSelectResult found = core::findSelectUnit(tree_->tree(), xlin, xmodel);
    if (found.selected) tree_->view()->selectQuietly(*found.selected);
    if (!found.loadUnits) return;
    listModel(xlin, xmodel, [this] {
        if (!units_->empty()) setTreeShown(false);
    });
}

// While the tree is being rebuilt a click only moves the selection, which a refresh keeps.
// During a listing it lists the clicked model instead.
void FrmUnits::nodeClicked(const std::string& tag) {
    if (work_->busyWith(JobKind::Tree)) return;
    auto [lineCode, model] = core::splitTag(tag);
    listModel(lineCode, model, [this] {
        if (units_->empty()) return;
        units_->selectTopRow();
        unitPicked();
    });
}

void FrmUnits::filterSwitched() {
    guarded("ctree_Click", [&] {
        options_.settings->save(core::kInStockSetting, tree_->inStockOnly() ? "1" : "0");
        // The model listed stays, with its rows, while the new tree still holds it.
        buildTree("ctree_Click", [this](const KeptSelection& kept) {
            if (!kept.nodeTag || !tree_->select(*kept.nodeTag)) clearUnitList();
        });
    });
}

void FrmUnits::listModel(const std::string& lineCode, const std::string& model,
                         std::function<void()> listed) {
    clearUnitDetails();
    units_->list(*work_, lineCode, model, std::move(listed));
}

// The unit list's current unit fills the detail tabs and enables the unit buttons. With no
// unit rows there is nothing to show. A stock check of the finder gives way and a hand-off is
// let finish: the row shows once they have stopped. A unit picked while another is being read
// replaces it.
void FrmUnits::unitPicked() {
    const core::UnitRow* row = currentUnitRow();
    if (!row) return;
    if (work_->busyWith(JobKind::Search) || work_->busyWith(JobKind::HandOff)) {
        rowWaits_ = true;
        if (work_->busyWith(JobKind::Search)) work_->cancel();
        return;
    }
    if (work_->busy() && !work_->busyWith(JobKind::Unit)) return;
    clearUnitDetails();
    tabs_->readUnit(*work_, units_->currentRow(), *row, [this] {
        rules_.unitShown();
        applyButtons();
    });
}

void FrmUnits::clearUnitDetails() {
    rules_.unitCleared();
    applyButtons();
    tabs_->clearUnit();
}

void FrmUnits::workEnded() {
    applyButtons();
    if (std::exchange(rowWaits_, false)) unitPicked();
    finder_->checkStock();
}

// While work runs the unit buttons wait: they would need the engine.
void FrmUnits::applyButtons() {
    core::UnitButtons on = work_->busy() ? core::UnitButtons{} : rules_.buttons();
    cmdTotals_->setEnabled(on.totals);
    cmdQp_->setEnabled(on.quickPayment);
    cmdPrint_->setEnabled(on.print);
    cmdAddToInvoice_->setEnabled(on.addToInvoice);
    cmdAddToInvoice_->setToolTip(addToInvoiceTip(on.addToInvoice));
    units_->enableActions(on);
}

// The model's node is selected and its units listed as a click on the node would; then the
// unit's row is selected as a click on it would, or, when the list does not hold the unit, the
// status bar says why.
void FrmUnits::showFoundUnit(const core::DirectoryEntry& entry) {
    const QString unit = shownText(entry.unit);
    if (work_->busyWith(JobKind::Tree))
        return statusBar()->showMessage(
            QString("The tree is being read: pick unit %1 again once it shows").arg(unit));
    const std::string tag = core::modelTag(entry.lineCode, entry.model);
    if (!core::findTag(tree_->tree(), tag))
        return statusBar()->showMessage(
            QString("Unit %1: model %2 is not in the tree%3")
                .arg(unit, shownText(codec::trun(entry.model)),
                     tree_->inStockOnly() ? QString(", which shows only models with units in stock")
                                          : QString()));
    if (!treeShown_) setTreeShown(true);
    tree_->select(tag);
    auto [lineCode, model] = core::splitTag(tag);
    listModel(lineCode, model, [this, entry, unit] {
        if (units_->selectUnit(entry.unit, &entry.serial)) {
            units_->grid()->setFocus(Qt::OtherFocusReason);
            return unitPicked();
        }
        tree_->view()->setFocus(Qt::OtherFocusReason);
        statusBar()->showMessage(QString("Unit %1 is not in stock: it is sold or held by an open "
                                         "ticket or pending invoice.")
                                     .arg(unit));
    });
}

// Ctrl+F: the tree folded away after a start on one model comes back with the field.
void FrmUnits::focusFinder() {
    if (!treeShown_) setTreeShown(true);
    finder_->focusField();
}

void FrmUnits::stockAgeing() {
    openStockAgeing(this);
}

}  // namespace fennick::viewer
