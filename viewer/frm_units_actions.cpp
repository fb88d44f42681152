// frmUnits' unit buttons and the unit list menu's items: the invoice hand-off, the unit report,
// the totals window, the quick-payment program and adding to the pick list, each on the unit
// list's current row; and what the window hands to its companion windows.

#include <memory>

#include <QStatusBar>

#include "background_work.h"
#include "core/export_file.h"
#include "core/unit_detail.h"
#include "data_store.h"
#include "detail_tabs.h"
#include "event_guard.h"
#include "frm_totals.h"
#include "frm_unit_data.h"
#include "frm_units.h"
#include "hand_offs.h"
#include "pick_list_tab.h"
#include "shown_text.h"
#include "tree_pane.h"
#include "unit_grid.h"

namespace fennick::viewer {

void FrmUnits::cmdAddToInvoice_Click() {
    guarded("cmdAddToInvoice_Click", [&] { unitAction(UnitListPane::Action::AddToInvoice); });
}

void FrmUnits::cmdPrint_Click() {
    guarded("cmdPrint_Click", [&] { unitAction(UnitListPane::Action::Print); });
}

void FrmUnits::cmdTotals_Click() {
    guarded("cmdTotals_Click", [&] { unitAction(UnitListPane::Action::Totals); });
}

void FrmUnits::cmdQp_Click() {
    guarded("cmdQp_Click", [&] { unitAction(UnitListPane::Action::QuickPayment); });
}

void FrmUnits::cmdExit_Click() {
    close();
}

void FrmUnits::unitAction(UnitListPane::Action action) {
    using Action = UnitListPane::Action;
    const core::UnitRow* row = currentUnitRow();
    switch (action) {
        case Action::AddToInvoice:
            return addToInvoice();
        case Action::Print:
            return printUnit();
        case Action::Totals:
            if (row) showTotals(this, *row);
            return;
        case Action::QuickPayment:
            if (row) quickPayment(this, *row, quickPaymentProgram(*options_.settings));
            return;
        case Action::AddToPickList:
            return addToPickList();
    }
}

// Hands the selected unit, the pick list or (from the point of sale) the export editing window
// over; the program ends once the hand-off says so.
void FrmUnits::addToInvoice() {
    const core::PickList& list = pickList();
    if (core::exportWay(commandLine_.fromPointOfSale, list.used()) == core::ExportWay::PickList &&
        !list.empty())
        pickList_->grid()->selectRowQuietly(0);
    InvoiceHandOff handOff{
        commandLine_.fromPointOfSale, list.used(),         currentUnitRow(), list.rows(),
        &dataStore().share(),         dataStore().system()};
    viewer::addToInvoice(this, *work_, handOff, [this] { close(); });
}

// The report pairs a row with that unit's note grids: those the tabs show for it, or read
// anew on the worker when the current row is not the unit shown.
void FrmUnits::printUnit() {
    const core::UnitRow* row = currentUnitRow();
    if (!row) return;
    if (const core::NoteGrids* shown = tabs_->gridsOf(units_->currentRow()))
        return showUnitData(this, units_->headings(), *row, *shown);
    auto detail = std::make_shared<core::UnitDetail>();
    work_->start(
        JobKind::HandOff,
        [unit = *row, detail](core::WorkProgress&) {
            *detail = core::selectUnit(dataStore(), unit);
        },
        [this, unit = *row, detail](std::exception_ptr failure) {
            guarded("cmdPrint_Click", [&] {
                if (failure) std::rethrow_exception(failure);
                showUnitData(this, units_->headings(), unit, detail->grids);
            });
        },
        [](const core::ProgressStep&) { return QString("Reading the unit for the report"); });
}

// A unit already on the list is not added again: its row is made current, and the status bar
// says why nothing was added.
void FrmUnits::addToPickList() {
    const core::UnitRow* row = currentUnitRow();
    if (!row) return;
    tabs_->setCurrentIndex(DetailTabs::kPickListTab);
    rules_.pickListAdded();
    applyButtons();
    if (pickList_->add(*row))
        statusBar()->clearMessage();
    else
        statusBar()->showMessage(QString("Unit %1 is on the pick list already: its row is selected")
                                     .arg(shownText(row->unit)));
}

QString FrmUnits::addToInvoiceTip(bool enabled) const {
    if (enabled) return QString();
    if (work_->busy()) return QString("Waits for the work under way to end");
    const std::string_view hint = rules_.addToInvoiceHint();
    return QString::fromUtf8(hint.data(), static_cast<qsizetype>(hint.size()));
}

const core::UnitRow* FrmUnits::currentUnitRow() const {
    return units_->currentUnit();
}

const core::PickList& FrmUnits::pickList() const {
    return pickList_->pickList();
}

std::optional<std::string> FrmUnits::selectedNodeTag() const {
    return tree_->currentTag();
}

void FrmUnits::selectFirstModel() {
    tree_->selectFirstModel();
}

}  // namespace fennick::viewer
