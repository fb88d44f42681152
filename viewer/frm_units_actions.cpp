// frmUnits' unit buttons and the unit list menu's items: the invoice hand-off, the unit report,
// the totals window, the quick-payment program and adding to the pick list, each on the unit
// list's current row.

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
    if (viewer::addToInvoice(this, handOff)) close();
}

// The report pairs a row with that unit's note grids: those the tabs show for it, or read
// anew when the current row is not the unit shown.
void FrmUnits::printUnit() {
    const core::UnitRow* row = currentUnitRow();
    if (!row) return;
    if (const core::NoteGrids* shown = tabs_->gridsOf(units_->currentRow()))
        return showUnitData(this, units_->headings(), *row, *shown);
    core::UnitDetail detail = core::selectUnit(dataStore(), *row);
    showUnitData(this, units_->headings(), *row, detail.grids);
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

}  // namespace fennick::viewer
