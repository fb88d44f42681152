#pragma once
// frmUnits, the main window, built from its parts: the finder and the model tree on the left
// (TreePane), the units of the selected model (UnitListPane) above the tabs of the selected
// unit's details and notes (DetailTabs) and the pick list (PickListTab), the unit buttons and
// the status bar. The window creates the parts and wires them; it keeps what belongs to the
// window as a whole: the start-up, the worker that runs the long work (building the tree,
// listing a model, checking the finder's stock), the unit buttons, the status bar and its
// place on the screen. Every event catches its failures, shows the error with the procedure's
// name and the window goes on; until the worker's job has ended, the window leaves the engine
// alone.

#include <QMainWindow>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "core/pick_list.h"
#include "core/settings_store.h"
#include "core/startup.h"
#include "core/unit_buttons.h"
#include "core/unit_row.h"
#include "store/open_store.h"
#include "unit_list_pane.h"

class QLabel;
class QPushButton;
class QSplitter;

namespace fennick::core {
struct DirectoryEntry;
}

namespace fennick::viewer {

class BackgroundWork;
class DetailTabs;
class FinderPane;
class PickListTab;
class TreePane;
class WorkStatus;

class FrmUnits : public QMainWindow {
    Q_OBJECT

  public:
    struct Options {
        std::string commandLine;  // "cfzelt,LINE,MODEL" from the point of sale, or anything
        store::StoreStart store;
        core::SettingsStore* settings = nullptr;  // required
        // Where the window keeps its place, splitters and column widths; none: not kept.
        core::SettingsStore* windowSettings = nullptr;
    };

    explicit FrmUnits(Options options, QWidget* parent = nullptr);
    ~FrmUnits() override;

    // The start-up sequence. False when the program must end: the engine did not start (its
    // message has been shown) or a start-up step failed (shown with " in larkmoor.Form_Load").
    // The tree is then being built; should that fail, the window closes and startFailed() says
    // so.
    bool Form_Load();
    bool startFailed() const { return startFailed_; }
    // Releases the data engine, closing every file it opened; runs once, on close at the latest.
    void Form_Unload();

    // What the window shows and hands to its companion windows.
    const core::CommandLine& commandLine() const { return commandLine_; }
    const core::UnitRow* currentUnitRow() const;
    const core::PickList& pickList() const;
    std::optional<std::string> selectedNodeTag() const;
    // The tree's display flag: off after a start that preselected a model.
    bool treeShown() const { return treeShown_; }

    // Clicks the first model node of the tree, as a user would (no-op without models).
    void selectFirstModel();
    // Lets the window work until no tree is being built and no model listed; false when
    // `timeoutMs` (if not negative) passed first.
    bool waitUntilIdle(int timeoutMs = -1);

  public slots:
    // F5 and the tree menu's "Refresh": builds the tree again and lists the selected model
    // again, keeping the selected node and unit row where they still exist.
    void refresh();
    // The unit buttons, each on the unit list's current row: the invoice hand-off, the unit
    // report, the totals window and the quick-payment program.
    void cmdAddToInvoice_Click();
    void cmdPrint_Click();
    void cmdTotals_Click();
    void cmdQp_Click();
    void cmdExit_Click();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    // What was selected when a rebuilt tree replaced the old one.
    struct KeptSelection {
        std::optional<std::string> nodeTag;
        std::optional<std::string> unitNumber;
    };

    // frm_units_layout.cpp: the parts in their places with the buttons and the status bar, and
    // wired; the window's place on the screen, what it keeps of it, the tree folded or shown.
    void buildWidgets();
    void connectEvents();
    void restoreLayout();
    void keepOnScreen();
    void keepLayout();
    void setTreeShown(bool shown);

    void startUp();
    // Builds the tree on the worker, then hands `shown` what was selected in the tree it
    // replaced. A failure is shown with `procedure`'s name and runs `failed`. A cancelled
    // build shows the lines read until then, with an empty unit list.
    // `fromKept`: the tree kept from the last run shows at once while the fresh one is read.
    void buildTree(const char* procedure, std::function<void(const KeptSelection&)> shown,
                   std::function<void()> failed = {}, bool fromKept = false);
    void freshTreeShown(const std::optional<std::string>& keptTag, bool found);
    void restoreSelection(const KeptSelection& kept);
    void selectModelFromCommandLine(const std::string& xlin, const std::string& xmodel);
    void nodeClicked(const std::string& tag);
    void filterSwitched();
    // Lists a model in the unit list, with the details cleared, then runs `listed`.
    void listModel(const std::string& lineCode, const std::string& model,
                   std::function<void()> listed);
    void clearUnitList();
    // The unit list's current unit fills the detail tabs and enables the unit buttons.
    void unitPicked();
    void clearUnitDetails();
    void workEnded();
    void applyButtons();
    // The finder's pick: the model's node and its list, then the unit's row, as clicks would.
    void showFoundUnit(const core::DirectoryEntry& entry);
    void focusFinder();
    void stockAgeing();
    // frm_units_actions.cpp: the work behind the unit buttons and the unit list's menu; the callers
    // guard it.
    void unitAction(UnitListPane::Action action);
    void addToInvoice();
    void printUnit();
    void addToPickList();
    // What a disabled "Add to Invoice" waits for; nothing while it is enabled.
    QString addToInvoiceTip(bool enabled) const;

    Options options_;
    core::CommandLine commandLine_;
    core::UnitButtonRules rules_{false};
    bool engineStarted_ = false;
    bool treeShown_ = true;
    bool startFailed_ = false;
    bool layoutRestored_ = false;
    // A unit row was picked while the finder's stock check ran; it shows once the check has
    // stopped.
    bool rowWaits_ = false;

    BackgroundWork* work_ = nullptr;
    FinderPane* finder_ = nullptr;
    TreePane* tree_ = nullptr;
    UnitListPane* units_ = nullptr;
    DetailTabs* tabs_ = nullptr;
    PickListTab* pickList_ = nullptr;
    QSplitter* treeSplit_ = nullptr;
    QSplitter* unitSplit_ = nullptr;
    WorkStatus* workStatus_ = nullptr;
    std::array<QLabel*, 4> sb1_{};
    QPushButton* cmdAddToInvoice_ = nullptr;
    QPushButton* cmdQp_ = nullptr;
    QPushButton* cmdTotals_ = nullptr;
    QPushButton* cmdPrint_ = nullptr;
    QPushButton* cmdExit_ = nullptr;
};

}  // namespace fennick::viewer
