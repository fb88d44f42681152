#pragma once
// frmUnits, the main window: the model tree on the left, the units of the selected model above
// the tabs of the selected unit's details, notes and the pick list, the unit buttons and the
// status bar. Each widget event calls the core and shows what it returns; every event
// catches its failures, shows the error with the procedure's name and the window goes on.
// Building the tree and listing a model run on a worker thread (BackgroundWork) while the
// window keeps answering; until such work has ended, the window leaves the engine alone.

#include <QMainWindow>
#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/engine_start.h"
#include "core/model_tree.h"
#include "core/pick_list.h"
#include "core/settings_store.h"
#include "core/startup.h"
#include "core/unit_buttons.h"
#include "core/unit_detail.h"
#include "core/unit_list.h"
#include "core/unit_search.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTreeWidgetItem;

namespace fennick::viewer {

class BackgroundWork;
class DetailPanel;
class ModelTreeView;
class PickListTab;
class TextGrid;
class UnitGrid;
class UnitFinder;
class WorkStatus;

class FrmUnits : public QMainWindow {
    Q_OBJECT

  public:
    struct Options {
        std::string commandLine;  // "cfzelt,LINE,MODEL" from the point of sale, or anything
        core::EngineStart engine;
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
    void tv1_NodeClick(QTreeWidgetItem* node);
    void grdUnit_RowSelected();
    void ctree_Click(int index);
    // F5 and the tree menu's "Refresh": builds the tree again and lists the selected model
    // again, keeping the selected node and unit row where they still exist.
    void refresh();
    void addToPickList();
    void cmdExit_Click();
    // The unit buttons and the grid menu: the invoice hand-off, the unit report, the totals
    // window and the quick-payment program, each on the unit grid's current row.
    void cmdAddToInvoice_Click();
    void cmdPrint_Click();
    void cmdTotals_Click();
    void cmdQp_Click();
    // Grid menu items 0 to 4: "Add to Invoice", "Print", "Totals", "QuickPayment Calculator",
    // "Add to Pick List".
    void gprint_Click(int index);
    // The tree menu's "Stock Ageing..." (while no other work runs) and the grid menu's "Save
    // List as CSV..." (the listed units in the order the grid shows them).
    void stockAgeing_Click();
    void saveList_Click();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    // What was selected when a rebuilt tree replaced the old one.
    struct KeptSelection {
        std::optional<std::string> nodeTag;
        std::optional<std::string> unitNumber;
    };
    // The units the finder's drop-down shows for the text searched. `unchecked`: the stock check
    // has not ended for these (it waits while other work runs). `rowWaits`: a unit row was picked
    // while the check ran; it shows once the check has stopped.
    struct FoundUnits {
        std::string text;
        std::vector<core::DirectoryEntry> entries;
        std::uint64_t generation = 0;
        bool unchecked = false;
        bool rowWaits = false;
    };

    void buildWidgets();
    void buildMenus();
    void buildShortcuts();
    // The window on the screen: the kept (or first-start) place, splitters and column widths,
    // and the smallest sizes the panes may be given.
    void restoreLayout();
    void keepOnScreen();
    void keepLayout();
    void setPaneMinimums();
    void connectEvents();
    // The finder above the tree: the search field, Ctrl+F, matches from the tree's directory,
    // their stock checked on the worker while it is free, and a pick shown as node and row.
    QWidget* buildTreePane(QWidget* parent);
    void connectFinder();
    void focusFinder();
    void searchUnits(const QString& text);
    void checkStock();
    void stockChecked(std::uint64_t generation, const std::vector<core::UnitMatch>& checked,
                      std::exception_ptr failure);
    void stopStockCheck();
    void pickFoundUnit(int line);
    void showFoundRow(const core::DirectoryEntry& entry);
    void finderWorkEnded();
    void startUp();
    void buildTree(const char* procedure, std::function<void(const KeptSelection&)> shown,
                   std::function<void()> failed = {});
    void treeCancelled(std::size_t lines);
    void selectModelFromCommandLine(const std::string& xlin, const std::string& xmodel);
    void listModel(const std::string& lineCode, const std::string& model,
                   std::function<void()> listed);
    void clearUnitList();
    // The line above the grid: how many units the listed model has, or that it has none.
    void showUnitCount(bool listed);
    void restoreSelection(const KeptSelection& kept);
    bool treeBeingBuilt() const;
    void clearUnitDetails();
    void applyButtons();
    // The work behind the unit buttons; the callers guard it.
    void addToInvoice();
    void printUnit();
    void showUnitTotals();
    void qpayment();
    void setTreeShown(bool shown);
    void showTreeMenu(const QPoint& at);
    void showGridMenu(const QPoint& at);

    Options options_;
    core::CommandLine commandLine_;
    core::UnitButtonRules rules_{false};
    bool inStockOnly_ = false;
    bool engineStarted_ = false;
    bool treeShown_ = true;
    bool startFailed_ = false;
    core::ModelTreeData tree_;
    FoundUnits found_;
    std::vector<std::string> unitHeadings_;
    // The note grids read for the unit the detail panel shows, and that unit's row; -1 when
    // none is shown.
    core::NoteGrids shownGrids_;
    int shownRow_ = -1;

    BackgroundWork* work_ = nullptr;
    WorkStatus* workStatus_ = nullptr;
    QAction* refresh_ = nullptr;
    ModelTreeView* tv1_ = nullptr;
    UnitFinder* finder_ = nullptr;
    UnitGrid* grdUnit_ = nullptr;
    QTabWidget* SSTab1_ = nullptr;
    DetailPanel* details_ = nullptr;
    std::array<TextGrid*, 4> grdUnitChain_{};
    PickListTab* pickListTab_ = nullptr;
    QSplitter* treeSplit_ = nullptr;
    QSplitter* unitSplit_ = nullptr;
    bool layoutRestored_ = false;
    QPushButton* cmdAddToInvoice_ = nullptr;
    QPushButton* cmdQp_ = nullptr;
    QPushButton* cmdTotals_ = nullptr;
    QPushButton* cmdPrint_ = nullptr;
    QPushButton* cmdExit_ = nullptr;
    std::array<QLabel*, 4> sb1_{};
    QLabel* lblUnitCount_ = nullptr;
    QMenu* mnuTree_ = nullptr;
    QMenu* GridPrint_ = nullptr;
    std::array<QAction*, 4> ctree_{};
    std::array<QAction*, 5> gprint_{};
    QAction* stockAgeing_ = nullptr;
    QAction* saveList_ = nullptr;
};

}  // namespace fennick::viewer
