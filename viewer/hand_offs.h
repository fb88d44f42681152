#pragma once
// The hand-offs of the main window's unit buttons that leave the viewer: "Add to Invoice"
// (the export file for the point-of-sale program) and "Quick Payment" (the dealer system's
// payment program).

#include <QString>
#include <functional>
#include <vector>

#include "core/settings_store.h"
#include "core/unit_list.h"
#include "engine/settings.h"
#include "platform/file_system.h"

class QWidget;

namespace fennick::viewer {

class BackgroundWork;

// What "Add to Invoice" needs from the main window.
struct InvoiceHandOff {
    bool fromPointOfSale = false;               // started with "cfzelt"
    bool pickListUsed = false;                  // the pick list's used flag
    const core::UnitRow* currentRow = nullptr;  // the unit grid's current row; nullptr: none
    std::vector<core::UnitRow> pickList;        // the pick list's rows in grid order
    platform::FileSystem* share = nullptr;      // the engine's share (it reaches CATCON)
    cSystem system;                             // names the CATCON share and the terminal
};

// Runs "Add to Invoice": the export editing window when the point of sale started the viewer,
// the multi-item export while the pick list is in use, the selected unit's export otherwise.
// The file is written on `work`. `leave` runs when the viewer should now end: always after the
// export editing window, and after a written file when the user answers Yes to leaving. A
// failure is shown.
void addToInvoice(QWidget* parent, BackgroundWork& work, const InvoiceHandOff& handOff,
                  std::function<void()> leave);

// The payment program: the "QuickPayment" setting of the viewer's settings store, else the
// default path.
QString quickPaymentProgram(core::SettingsStore& settings);

// Runs "Quick Payment": starts `program` with the unit row's suggested list price as its one
// argument, without a shell and without waiting. A missing program or an amount that is no
// number is shown in the error message box; the viewer goes on.
void quickPayment(QWidget* parent, const core::UnitRow& row, const QString& program);

}  // namespace fennick::viewer
