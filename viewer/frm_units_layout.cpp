// The widgets of frmUnits and how they are laid out: the design's places (in twips) become
// starting sizes of splitters and layouts, so the window opens at the design size and resizes
// sensibly.

#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "detail_panel.h"
#include "frm_units.h"
#include "model_tree_view.h"
#include "pick_list_tab.h"
#include "text_grid.h"
#include "twips.h"
#include "unit_grid.h"
#include "work_status.h"

namespace fennick::viewer {

namespace {

constexpr int kClientWidth = 13200, kClientHeight = 8745;
constexpr int kTreeWidth = 3315, kGridHeight = 4335, kTabHeight = 3075, kGridWidth = 9675;
constexpr int kButtonWidth = 1365, kButtonHeight = 390, kButtonGap = 135;
const std::vector<int> kOptionColumnWidths{1995, 1500, 4995, 1500};
const std::vector<std::string> kOptionHeadings{"Code", "Quantity", "Description", "List"};
const char* const kTabs[] = {"Unit details",   "Factory Options", "Dealer Options",
                             "Attached Units", "Unit Notes",      "Pick List"};

QPushButton* unitButton(const QString& name, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setMinimumSize(twipsToPixels(kButtonWidth, parent),
                           twipsToPixels(kButtonHeight, parent));
    return button;
}

TextGrid* noteGrid(int index, QWidget* parent) {
    auto* grid = new TextGrid(QString("grdUnitChain_%1").arg(index), parent);
    if (index == 3) {
        grid->setHeadings({"Unit Notes"});
        grid->setColumnWidthsTwips({10005});
    } else {
        grid->setHeadings(kOptionHeadings);
        grid->setColumnWidthsTwips(kOptionColumnWidths);
    }
    grid->horizontalHeader()->setStretchLastSection(true);
    return grid;
}

}  // namespace

void FrmUnits::buildWidgets() {
    setObjectName("frmUnits");
    setWindowTitle(QString::fromStdString(std::string(core::kDesignCaption)));
    setWindowIcon(QIcon(":/icons/org.fennick.Fennick.svg"));
    // The part that has the keyboard is framed in the highlight colour.
    setStyleSheet("QAbstractItemView:focus { border: 2px solid palette(highlight); }");
    auto* central = new QWidget(this);
    auto* page = new QVBoxLayout(central);

    QWidget* treePane = buildTreePane(central);  // the finder above the tree
    grdUnit_ = new UnitGrid("grdUnit", central);
    SSTab1_ = new QTabWidget(central);
    SSTab1_->setObjectName("SSTab1");
    details_ = new DetailPanel(SSTab1_);
    SSTab1_->addTab(details_, kTabs[0]);
    for (int i = 0; i < 4; ++i) {
        // Tabs 1 to 4 hold the factory, dealer and attached-unit grids, then the notes.
        grdUnitChain_[static_cast<std::size_t>(i)] = noteGrid(i, SSTab1_);
        SSTab1_->addTab(grdUnitChain_[static_cast<std::size_t>(i)], kTabs[i + 1]);
    }
    pickListTab_ = new PickListTab(SSTab1_);
    SSTab1_->addTab(pickListTab_, kTabs[5]);

    unitSplit_ = new QSplitter(Qt::Vertical, central);
    unitSplit_->setObjectName("unitSplit");
    auto* unitPane = new QWidget(central);
    auto* unitColumn = new QVBoxLayout(unitPane);
    unitColumn->setContentsMargins(0, 0, 0, 0);
    unitColumn->setSpacing(twipsToPixels(30, this));
    lblUnitCount_ = new QLabel(unitPane);
    lblUnitCount_->setObjectName("lblUnitCount");
    unitColumn->addWidget(lblUnitCount_);
    unitColumn->addWidget(grdUnit_, 1);
    grdUnit_->enableSorting();
    // Several rows may be selected, for Ctrl+C; the current one is the unit shown.
    grdUnit_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grdUnit_->freezeFirstColumn();
    unitSplit_->addWidget(unitPane);
    unitSplit_->addWidget(SSTab1_);
    unitSplit_->setSizes({twipsToPixels(kGridHeight, this), twipsToPixels(kTabHeight, this)});
    unitSplit_->setChildrenCollapsible(false);
    treeSplit_ = new QSplitter(Qt::Horizontal, central);
    treeSplit_->setObjectName("treeSplit");
    treeSplit_->addWidget(treePane);
    treeSplit_->addWidget(unitSplit_);
    treeSplit_->setStretchFactor(1, 1);
    treeSplit_->setCollapsible(1, false);  // the tree may fold away, the units never
    treeSplit_->setSizes({twipsToPixels(kTreeWidth, this), twipsToPixels(kGridWidth, this)});
    page->addWidget(treeSplit_, 1);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(twipsToPixels(kButtonGap, this));
    buttons->addStretch(1);
    cmdAddToInvoice_ = unitButton("cmdAddToInvoice", "&Add to Invoice", central);
    cmdQp_ = unitButton("cmdQp", "&Quick Payment", central);
    cmdTotals_ = unitButton("cmdTotals", "&Totals", central);
    cmdPrint_ = unitButton("cmdPrint", "&Print", central);
    cmdExit_ = unitButton("cmdExit", "E&xit", central);
    for (QPushButton* button : {cmdAddToInvoice_, cmdQp_, cmdTotals_, cmdPrint_, cmdExit_})
        buttons->addWidget(button);
    page->addLayout(buttons);
    setCentralWidget(central);

    for (std::size_t i = 0; i < sb1_.size(); ++i) {
        sb1_[i] = new QLabel(this);
        sb1_[i]->setObjectName(QString("sb1_%1").arg(i + 1));
        statusBar()->addWidget(sb1_[i], i == 3 ? 2 : 1);
    }
    workStatus_ = new WorkStatus(*work_, this);
    statusBar()->addPermanentWidget(workStatus_);
    // Room for the strip's Cancel button from the start, so that nothing moves when it shows.
    statusBar()->setMinimumHeight(workStatus_->sizeHint().height());
    statusBar()->setSizeGripEnabled(false);
    resize(twipsToPixels(kClientWidth, this), twipsToPixels(kClientHeight, this));
    buildMenus();
    buildShortcuts();
}

void FrmUnits::buildMenus() {
    mnuTree_ = new QMenu("Tree", this);
    mnuTree_->setObjectName("mnuTree");
    ctree_[0] = mnuTree_->addAction("Collapse All");
    ctree_[1] = mnuTree_->addAction("Expand All");
    ctree_[2] = mnuTree_->addSeparator();
    ctree_[3] = mnuTree_->addAction("Display only models with units in stock");
    ctree_[3]->setCheckable(true);
    mnuTree_->addSeparator();
    refresh_ = mnuTree_->addAction("Refresh");
    refresh_->setObjectName("refresh");
    refresh_->setShortcut(Qt::Key_F5);
    addAction(refresh_);  // F5 works wherever the focus is in the window
    mnuTree_->addSeparator();
    stockAgeing_ = mnuTree_->addAction("Stock Ageing...");
    stockAgeing_->setObjectName("stockAgeing");

    GridPrint_ = new QMenu("Select", this);
    GridPrint_->setObjectName("GridPrint");
    const char* const items[] = {"Add to Invoice", "Print", "Totals", "QuickPayment Calculator",
                                 "Add to Pick List"};
    for (std::size_t i = 0; i < gprint_.size(); ++i)
        gprint_[i] = GridPrint_->addAction(items[i]);
    GridPrint_->addSeparator();
    saveList_ = GridPrint_->addAction("Save List as CSV...");
    saveList_->setObjectName("saveListCsv");
}

}  // namespace fennick::viewer
