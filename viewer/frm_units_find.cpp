// frmUnits' finder: the search field above the tree. Matches come at once from the directory the
// tree build keeps (no reading); whether each is in stock takes the unit lists of their models,
// which are read on the worker only while it is free and the drop-down is open, and give way to
// anything the user asks of the window. A pick goes the way of a click on the model's node and
// then on the unit's row.

#include <QShortcut>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "background_work.h"
#include "engine/codec.h"
#include "engine_access.h"
#include "frm_units.h"
#include "model_tree_view.h"
#include "shown_text.h"
#include "unit_grid.h"
#include "twips.h"
#include "unit_finder.h"

namespace fennick::viewer {

namespace {

constexpr std::size_t kShownMatches = 50;

// The search text as the dealer's bytes; none when it holds a character the dealer's code page
// lacks, which no unit number or serial can contain.
std::optional<std::string> dealerBytes(const QString& text) {
    std::string bytes;
    for (char32_t c : core::utf8CodePoints(text.toStdString())) {
        std::optional<unsigned char> byte = core::cp1252ByteOf(c);
        if (!byte) return std::nullopt;
        bytes.push_back(static_cast<char>(*byte));
    }
    return bytes;
}

QString matchNote(const QString& text, std::size_t total, std::size_t shown, bool treeBeingRead) {
    if (total == 0)
        return QString("No unit or serial number contains \"%1\"%2")
            .arg(text.trimmed(), treeBeingRead ? QString(" (the tree is still being read)") : "");
    if (total > shown)
        return QString("%1 more: type more of the number to narrow the list").arg(total - shown);
    return QString();
}

}  // namespace

QWidget* FrmUnits::buildTreePane(QWidget* parent) {
    auto* pane = new QWidget(parent);
    pane->setObjectName("treePane");
    auto* column = new QVBoxLayout(pane);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(twipsToPixels(30, this));
    // Made before the tree, so that Shift+Tab from the tree reaches it.
    finder_ = new UnitFinder(this, pane);
    tv1_ = new ModelTreeView(pane);
    column->addWidget(finder_);
    column->addWidget(tv1_, 1);
    return pane;
}

void FrmUnits::connectFinder() {
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, &FrmUnits::focusFinder);
    connect(finder_, &UnitFinder::textSettled, this, &FrmUnits::searchUnits);
    connect(finder_, &UnitFinder::picked, this, &FrmUnits::pickFoundUnit);
    connect(finder_, &UnitFinder::dropDownClosed, this, &FrmUnits::stopStockCheck);
    connect(finder_, &UnitFinder::escaped, this, [this] { tv1_->setFocus(Qt::OtherFocusReason); });
    connect(work_, &BackgroundWork::finished, this, &FrmUnits::finderWorkEnded);
    // What a pick says in the status bar stands until the user sets the window working again.
    connect(work_, &BackgroundWork::started, statusBar(), &QStatusBar::clearMessage);
}

// Ctrl+F: the tree folded away after a start on one model comes back with the field.
void FrmUnits::focusFinder() {
    if (!treeShown_) setTreeShown(true);
    finder_->setFocus(Qt::ShortcutFocusReason);
    finder_->selectAll();
}

void FrmUnits::searchUnits(const QString& text) {
    const std::optional<std::string> needle = dealerBytes(text);
    std::vector<const core::DirectoryEntry*> all;
    if (needle) all = core::matchingEntries(tree_.directory, *needle);
    const std::size_t shown = std::min(all.size(), kShownMatches);
    ++found_.generation;
    found_.text = needle.value_or(std::string());
    found_.entries.clear();
    std::vector<UnitFinder::Line> lines;
    for (std::size_t i = 0; i < shown; ++i) {
        const core::DirectoryEntry& entry = *all[i];
        found_.entries.push_back(entry);
        lines.push_back({shownText(entry.unit), shownText(entry.serial),
                         shownText(codec::trun(entry.lineCode)),
                         shownText(codec::trun(entry.model))});
    }
    found_.unchecked = shown > 0;
    finder_->showMatches(lines, matchNote(text, all.size(), shown, treeBeingBuilt()));
    if (shown == 0) return stopStockCheck();
    checkStock();
}

// Starts the stock check of the matches shown (one action: the sales in progress are read once
// for all their models), unless the tree or a listing has the worker; then it starts once that
// work has ended (finderWorkEnded). A check under way for older matches is dropped.
void FrmUnits::checkStock() {
    if (!found_.unchecked || !finder_->dropDownShown()) return;
    if (work_->busy() && !work_->busyWith(JobKind::Search)) return;
    auto checked = std::make_shared<std::vector<core::UnitMatch>>();
    work_->start(
        JobKind::Search,
        [entries = found_.entries, text = found_.text, checked](core::WorkProgress& progress) {
            *checked = core::findUnits(engine(), entries, text, SIZE_MAX, &progress);
        },
        [this, generation = found_.generation, checked](std::exception_ptr failure) {
            stockChecked(generation, *checked, failure);
        },
        [](const core::ProgressStep& step) {
            return QString("Finding units: checking model %1").arg(shownText(step.text));
        });
    applyButtons();
}

// The check ended, cancelled or not: the matches it worked out (the first ones, since every
// entry checked matches the text) show their stock, the rest stays unknown.
void FrmUnits::stockChecked(std::uint64_t generation, const std::vector<core::UnitMatch>& checked,
                            std::exception_ptr failure) {
    if (generation != found_.generation) return;
    found_.unchecked = false;
    std::vector<bool> listed;
    for (std::size_t i = 0; i < checked.size() && i < found_.entries.size(); ++i)
        listed.push_back(checked[i].listed);
    finder_->showListed(listed);
    if (!failure) return;
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        finder_->showNote(QString("The stock could not be checked: %1")
                              .arg(QString::fromStdString(error.what())));
    }
}

void FrmUnits::stopStockCheck() {
    if (work_->busyWith(JobKind::Search)) work_->cancel();
}

void FrmUnits::finderWorkEnded() {
    if (std::exchange(found_.rowWaits, false)) grdUnit_RowSelected();
    checkStock();
}

// The model's node is selected and its units listed as a click on the node would; then the
// unit's row is selected as a click on it would, or, when the list does not hold the unit, the
// status bar says why.
void FrmUnits::pickFoundUnit(int line) {
    if (line < 0 || line >= static_cast<int>(found_.entries.size())) return;
    const core::DirectoryEntry entry = found_.entries[static_cast<std::size_t>(line)];
    const QString unit = shownText(entry.unit);
    if (treeBeingBuilt())
        return statusBar()->showMessage(
            QString("The tree is being read: pick unit %1 again once it shows").arg(unit));
    const std::string tag = core::modelTag(entry.lineCode, entry.model);
    const std::optional<core::TreeSelection> node = core::findTag(tree_, tag);
    if (!node)
        return statusBar()->showMessage(
            QString("Unit %1: model %2 is not in the tree%3")
                .arg(unit, shownText(codec::trun(entry.model)),
                     inStockOnly_ ? QString(", which shows only models with units in stock")
                                  : QString()));
    if (!treeShown_) setTreeShown(true);
    tv1_->selectQuietly(*node);
    clearUnitDetails();
    auto [lineCode, model] = core::splitTag(tag);
    listModel(lineCode, model, [this, entry] { showFoundRow(entry); });
}

void FrmUnits::showFoundRow(const core::DirectoryEntry& entry) {
    for (std::size_t r = 0; r < grdUnit_->rows().size(); ++r)
        if (grdUnit_->rows()[r].unit == entry.unit && grdUnit_->rows()[r].serial == entry.serial) {
            grdUnit_->selectRowQuietly(static_cast<int>(r));
            grdUnit_->setFocus(Qt::OtherFocusReason);
            return grdUnit_RowSelected();
        }
    tv1_->setFocus(Qt::OtherFocusReason);
    statusBar()->showMessage(
        QString("Unit %1 is not in stock: it is sold or held by an open ticket or pending invoice.")
            .arg(shownText(entry.unit)));
}

}  // namespace fennick::viewer
