// frmUnits built from its parts and wired, and the window on the screen. The design's places (in
// twips) become starting sizes of splitters and layouts, and the window resizes sensibly; it
// opens where it was kept (or, the first time, on most of the screen, in its middle) and keeps
// its place, splitters and the unit grid's column widths per user.

#include <QAction>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>

#include "background_work.h"
#include "detail_tabs.h"
#include "event_guard.h"
#include "finder_pane.h"
#include "frm_units.h"
#include "model_tree_view.h"
#include "pick_list_tab.h"
#include "tree_pane.h"
#include "twips.h"
#include "unit_grid.h"
#include "window_state.h"
#include "work_status.h"

namespace fennick::viewer {

namespace {

constexpr int kClientWidth = 13200, kClientHeight = 8745;
constexpr int kTreeWidth = 3315, kGridHeight = 4335, kTabHeight = 3075, kGridWidth = 9675;
constexpr int kButtonWidth = 1365, kButtonHeight = 390, kButtonGap = 135;
// The unit grid keeps the Unit column and three more, and a few rows, in view.
constexpr int kGridMinimumColumns = 4, kGridMinimumRows = 3;
// Before the window is first shown its frame is unknown; a usual desktop's border.
constexpr int kFrameGuess = 4;
constexpr int kLargestPane = 100000;
constexpr int kLargestColumn = 4000;

QPushButton* unitButton(const QString& name, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setMinimumSize(twipsToPixels(kButtonWidth, parent),
                           twipsToPixels(kButtonHeight, parent));
    return button;
}

QSplitter* splitter(Qt::Orientation orientation, const char* name, QWidget* first, QWidget* second,
                    QWidget* parent) {
    auto* split = new QSplitter(orientation, parent);
    split->setObjectName(name);
    split->addWidget(first);
    split->addWidget(second);
    return split;
}

void restoreSplitter(QSplitter& splitter, core::SettingsStore& kept, const char* key) {
    if (auto sizes = parseIntList(kept.value(key, ""), 2, 0, kLargestPane)) {
        if ((*sizes)[0] + (*sizes)[1] > 0) splitter.setSizes(*sizes);
    }
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

    // Made in the order Tab goes through them: the finder, the tree, the units, the tabs.
    finder_ = new FinderPane(*work_, this, central);
    tree_ = new TreePane(finder_, central);
    finder_->searchIn(tree_->tree());
    units_ = new UnitListPane(central);
    tabs_ = new DetailTabs(central);
    pickList_ = new PickListTab(tabs_);
    tabs_->addTab(pickList_, "Pick List");

    unitSplit_ = splitter(Qt::Vertical, "unitSplit", units_, tabs_, central);
    unitSplit_->setSizes({twipsToPixels(kGridHeight, this), twipsToPixels(kTabHeight, this)});
    unitSplit_->setChildrenCollapsible(false);
    treeSplit_ = splitter(Qt::Horizontal, "treeSplit", tree_, unitSplit_, central);
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
    workStatus_ = new WorkStatus(*work_, this, true);
    statusBar()->addPermanentWidget(workStatus_);
    // Room for the strip's Cancel button from the start, so that nothing moves when it shows.
    statusBar()->setMinimumHeight(workStatus_->sizeHint().height());
    statusBar()->setSizeGripEnabled(false);
    resize(twipsToPixels(kClientWidth, this), twipsToPixels(kClientHeight, this));
}

void FrmUnits::connectEvents() {
    using Action = UnitListPane::Action;
    connect(tree_, &TreePane::nodeClicked, this, &FrmUnits::nodeClicked);
    connect(tree_, &TreePane::filterSwitched, this, &FrmUnits::filterSwitched);
    connect(tree_, &TreePane::freshTreeShown, this, &FrmUnits::freshTreeShown);
    connect(tree_, &TreePane::stockAgeingAsked, this, &FrmUnits::stockAgeing);
    connect(tree_->refreshAction(), &QAction::triggered, this, &FrmUnits::refresh);
    addAction(tree_->refreshAction());  // F5 works wherever the focus is in the window
    connect(units_, &UnitListPane::unitPicked, this, &FrmUnits::unitPicked);
    connect(tree_, &TreePane::outcome, workStatus_, &WorkStatus::setOutcome);
    connect(units_, &UnitListPane::outcome, workStatus_, &WorkStatus::setOutcome);
    connect(units_, &UnitListPane::actionChosen, this,
            [this](Action action) { guarded("gprint_Click", [&] { unitAction(action); }); });
    connect(pickList_, &PickListTab::cleared, this, [this] {
        rules_.pickListCleared();
        applyButtons();
    });
    connect(finder_, &FinderPane::picked, this, &FrmUnits::showFoundUnit);
    connect(finder_, &FinderPane::escaped, this,
            [this] { tree_->view()->setFocus(Qt::OtherFocusReason); });
    connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, this,
            &FrmUnits::focusFinder);
    connect(cmdAddToInvoice_, &QPushButton::clicked, this, &FrmUnits::cmdAddToInvoice_Click);
    connect(cmdPrint_, &QPushButton::clicked, this, &FrmUnits::cmdPrint_Click);
    connect(cmdTotals_, &QPushButton::clicked, this, &FrmUnits::cmdTotals_Click);
    connect(cmdQp_, &QPushButton::clicked, this, &FrmUnits::cmdQp_Click);
    connect(cmdExit_, &QPushButton::clicked, this, &FrmUnits::cmdExit_Click);
    connect(treeSplit_, &QSplitter::splitterMoved, this, [this] {
        ModelTreeView* view = tree_->view();
        if (view->width() > 0 && view->minimumWidth() == 0) view->fitLineNames();
    });
    // The unit buttons wait while work runs; what a pick says in the status bar stands until
    // the user sets the window working again.
    connect(work_, &BackgroundWork::started, this, &FrmUnits::applyButtons);
    connect(work_, &BackgroundWork::started, statusBar(), &QStatusBar::clearMessage);
    connect(work_, &BackgroundWork::finished, this, &FrmUnits::workEnded);
}

// The kept place is brought onto the screen it lies on (or the window's own, when that screen
// is gone); a first start takes about four fifths of the window's screen, centred. Either way the
// window fits the screen's available area.
void FrmUnits::restoreLayout() {
    core::SettingsStore* kept = options_.windowSettings;
    std::optional<QRect> saved = kept ? keptGeometry(*kept) : std::nullopt;
    QScreen* target = saved ? QGuiApplication::screenAt(saved->center()) : nullptr;
    if (!target) target = screen();
    const QRect available = target->availableGeometry();
    const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    // The layout's smallest size counts first, so that the clamped place holds the window.
    const QSize least = minimumSizeHint();
    setGeometry(saved ? clampedPlacement(QRect(saved->topLeft(), saved->size().expandedTo(least)),
                                         available, kFrameGuess, titleBar)
                      : centredPlacement(firstStartSize(size(), available).expandedTo(least),
                                         available, kFrameGuess, titleBar));
    if (kept) {
        if (kept->value(kMaximizedKey, "0") == "1")
            setWindowState(windowState() | Qt::WindowMaximized);
        restoreSplitter(*treeSplit_, *kept, kTreeSplitKey);
        restoreSplitter(*unitSplit_, *kept, kUnitSplitKey);
        if (auto widths = parseIntList(kept->value(kColumnsKey, ""), 0, 0, kLargestColumn))
            units_->grid()->restoreColumnWidths(*widths);
    }
    // The tree sets its own minimum from its line names.
    units_->grid()->keepInView(kGridMinimumColumns, kGridMinimumRows);
    layoutRestored_ = true;
}

// The tree's smallest width follows its line names, so the window may grow once a tree is
// shown; one that grew past its screen's edge is moved back onto the screen.
void FrmUnits::keepOnScreen() {
    if (isMaximized() || isFullScreen() || !screen() || !layout()) return;
    layout()->activate();
    const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    const QRect placed =
        clampedPlacement(geometry(), screen()->availableGeometry(), kFrameGuess, titleBar);
    if (placed.topLeft() != geometry().topLeft())
        move(pos() + placed.topLeft() - geometry().topLeft());
}

// Kept when a shown window closes. A tree folded away (after a start on one model) keeps the
// width it had before.
void FrmUnits::keepLayout() {
    core::SettingsStore* kept = options_.windowSettings;
    if (!kept || !layoutRestored_ || !isVisible()) return;
    keepGeometry(*kept, normalGeometry(), isMaximized());
    if (treeSplit_->sizes().value(0) > 0)
        kept->save(kTreeSplitKey, intListText(treeSplit_->sizes()));
    kept->save(kUnitSplitKey, intListText(unitSplit_->sizes()));
    kept->save(kColumnsKey, intListText(units_->grid()->columnWidths()));
}

// The tree's display flag. Off, the tree folds away behind the splitter handle, from where the
// user can still drag it back.
void FrmUnits::setTreeShown(bool shown) {
    treeShown_ = shown;
    // Folded, the tree has no minimum; it gets it back when shown or dragged open.
    if (shown)
        tree_->view()->fitLineNames();
    else
        tree_->view()->setMinimumWidth(0);
    QList<int> sizes = treeSplit_->sizes();
    int total = std::max(sizes.value(0) + sizes.value(1), width());
    int tree = shown ? std::max(sizes.value(0), twipsToPixels(kTreeWidth, this)) : 0;
    treeSplit_->setSizes({tree, total - tree});
}

}  // namespace fennick::viewer
