// frmUnits on the screen: where it opens (the kept place, or the design size in the middle of
// the screen), what it keeps per user when it closes, the smallest sizes of its panes and the
// keys that switch the detail tabs.

#include <QGuiApplication>
#include <QHeaderView>
#include <QLayout>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>

#include "frm_units.h"
#include "model_tree_view.h"
#include "unit_grid.h"
#include "window_state.h"

namespace fennick::viewer {

namespace {

// Before the window is first shown its frame is unknown; a usual desktop's border.
constexpr int kFrameGuess = 4;
constexpr int kGridMinimumColumns = 4;  // the Unit column and three more
constexpr int kGridMinimumRows = 3;
constexpr int kLargestPane = 100000;
constexpr int kLargestColumn = 4000;

void restoreSplitter(QSplitter& splitter, core::SettingsStore& kept, const char* key) {
    if (auto sizes = parseIntList(kept.value(key, ""), 2, 0, kLargestPane)) {
        if ((*sizes)[0] + (*sizes)[1] > 0) splitter.setSizes(*sizes);
    }
}

}  // namespace

void FrmUnits::buildShortcuts() {
    // Ctrl+PgUp and Ctrl+PgDn step through the detail tabs from anywhere in the window.
    const std::pair<QKeyCombination, int> steps[] = {{Qt::CTRL | Qt::Key_PageUp, -1},
                                                     {Qt::CTRL | Qt::Key_PageDown, 1}};
    for (const auto& [keys, step] : steps) {
        auto* shortcut = new QShortcut(QKeySequence(keys), this);
        connect(shortcut, &QShortcut::activated, this, [this, step = step] {
            const int count = SSTab1_->count();
            SSTab1_->setCurrentIndex((SSTab1_->currentIndex() + step + count) % count);
        });
    }
}

// The kept place is brought onto the screen it lies on (or the window's own, when that screen
// is gone); a first start centres the design size on the window's screen. Either way the
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
    setGeometry(saved
                    ? clampedPlacement(QRect(saved->topLeft(), saved->size().expandedTo(least)),
                                       available, kFrameGuess, titleBar)
                    : centredPlacement(size().expandedTo(least), available, kFrameGuess, titleBar));
    if (kept) {
        if (kept->value(kMaximizedKey, "0") == "1")
            setWindowState(windowState() | Qt::WindowMaximized);
        restoreSplitter(*treeSplit_, *kept, kTreeSplitKey);
        restoreSplitter(*unitSplit_, *kept, kUnitSplitKey);
        if (auto widths = parseIntList(kept->value(kColumnsKey, ""), 0, 0, kLargestColumn))
            grdUnit_->restoreColumnWidths(*widths);
    }
    setPaneMinimums();
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
    kept->save(kColumnsKey, intListText(grdUnit_->columnWidths()));
}

// The unit grid keeps the Unit column and three more, and a few rows, in view; the tree sets
// its own minimum from its line names.
void FrmUnits::setPaneMinimums() {
    grdUnit_->keepInView(kGridMinimumColumns, kGridMinimumRows);
}

}  // namespace fennick::viewer
