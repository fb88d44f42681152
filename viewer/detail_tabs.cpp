#include "detail_tabs.h"

#include <QHeaderView>
#include <QShortcut>
#include <memory>

#include "background_work.h"
#include "data_store.h"
#include "detail_panel.h"
#include "event_guard.h"
#include "shown_text.h"
#include "text_grid.h"

namespace fennick::viewer {

namespace {

const std::vector<std::string> kOptionHeadings{"Code", "Quantity", "Description", "List"};
constexpr int kOptionDescription = 2;
const char* const kTabs[] = {"Unit details", "Factory Options", "Dealer Options", "Attached Units",
                             "Unit Notes"};

// The option grids keep code, quantity and list price whole, as wide as their texts, the figures
// right-aligned; the description takes the rest of the width.
TextGrid* noteGrid(int index, QWidget* parent) {
    auto* grid = new TextGrid(QString("grdUnitChain_%1").arg(index), parent);
    QHeaderView* heading = grid->horizontalHeader();
    if (index == 3) {
        grid->setHeadings({"Unit Notes"});
        heading->setStretchLastSection(true);
        return grid;
    }
    grid->setHeadings(kOptionHeadings);
    grid->setRightAligned({false, true, false, true});
    heading->setSectionResizeMode(QHeaderView::ResizeToContents);
    heading->setSectionResizeMode(kOptionDescription, QHeaderView::Stretch);
    return grid;
}

}  // namespace

DetailTabs::DetailTabs(QWidget* parent) : QTabWidget(parent), details_(new DetailPanel(this)) {
    setObjectName("SSTab1");
    addTab(scrollingDetails(details_, this), kTabs[0]);
    for (std::size_t i = 0; i < notes_.size(); ++i) {
        notes_[i] = noteGrid(static_cast<int>(i), this);
        addTab(notes_[i], kTabs[i + 1]);
    }
    const std::pair<QKeyCombination, int> steps[] = {{Qt::CTRL | Qt::Key_PageUp, -1},
                                                     {Qt::CTRL | Qt::Key_PageDown, 1}};
    for (const auto& [keys, step] : steps) {
        auto* shortcut = new QShortcut(QKeySequence(keys), this);
        connect(shortcut, &QShortcut::activated, this, [this, step = step] {
            setCurrentIndex((currentIndex() + step + count()) % count());
        });
    }
}

void DetailTabs::setCaptions(const std::vector<std::string>& captions) {
    details_->setCaptions(captions);
}

void DetailTabs::showUnit(int row, core::UnitDetail detail) {
    notes_[0]->showRows(detail.grids.factory);
    notes_[1]->showRows(detail.grids.dealer);
    notes_[2]->showRows(detail.grids.attached);
    notes_[3]->showRows(detail.grids.notes);
    details_->showValues(detail.values);
    shown_ = std::move(detail.grids);
    shownRow_ = row;
}

void DetailTabs::readUnit(BackgroundWork& work, int row, const core::UnitRow& unit,
                          std::function<void()> shown) {
    clearUnit();
    details_->showValues(core::showUnitDetails(unit));
    auto detail = std::make_shared<core::UnitDetail>();
    work.start(
        JobKind::Unit,
        [unit, detail](core::WorkProgress&) { *detail = core::selectUnit(dataStore(), unit); },
        [this, row, detail, shown = std::move(shown)](std::exception_ptr failure) {
            const bool read = guarded("showUnitDetails", [&] {
                if (failure) std::rethrow_exception(failure);
            });
            if (!read) return clearUnit();  // nothing half-shown
            const std::vector<std::string> problems = std::move(detail->problems);
            showUnit(row, std::move(*detail));
            shown();
            showProblems(problems);
        },
        [name = shownText(unit.unit)](const core::ProgressStep&) {
            return QString("Reading the notes of unit %1").arg(name);
        });
}

void DetailTabs::clearUnit() {
    shown_ = core::NoteGrids{};
    shownRow_ = -1;
    for (TextGrid* grid : notes_)
        grid->showRows(std::vector<std::vector<std::string>>{});
    details_->clear();
}

const core::NoteGrids* DetailTabs::gridsOf(int row) const {
    return row >= 0 && row == shownRow_ ? &shown_ : nullptr;
}

}  // namespace fennick::viewer
