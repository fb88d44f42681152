#pragma once
// The tabs below the unit list: the selected unit's details, its factory options, dealer
// options, attached units and notes; the window adds the pick list as the last tab.
// Ctrl+PgUp and Ctrl+PgDn step through the tabs from anywhere in the window. A unit's values
// show at once; its notes are read on the window's worker. The tabs keep the note grids they
// show and which row of the unit list they belong to, so that the unit report can use them
// without reading them again.

#include <QTabWidget>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "core/unit_detail.h"

namespace fennick::viewer {

class BackgroundWork;
class DetailPanel;
class TextGrid;

class DetailTabs : public QTabWidget {
    Q_OBJECT

  public:
    static constexpr int kPickListTab = 5;

    explicit DetailTabs(QWidget* parent = nullptr);

    void setCaptions(const std::vector<std::string>& captions);
    // Shows a unit's values and note grids; `row` is the unit list's row they belong to.
    void showUnit(int row, core::UnitDetail detail);
    // Shows the values of `unit`, the unit list's row `row`, then reads its notes on `work`
    // (a unit picked meanwhile replaces it) and shows them with the damage found, and runs
    // `shown`. A failure is shown and leaves the notes empty.
    void readUnit(BackgroundWork& work, int row, const core::UnitRow& unit,
                  std::function<void()> shown);
    void clearUnit();
    // The note grids shown for the unit list's row `row`; null when they belong to another row
    // or none is shown.
    const core::NoteGrids* gridsOf(int row) const;

  private:
    DetailPanel* details_;
    std::array<TextGrid*, 4> notes_{};
    core::NoteGrids shown_;
    int shownRow_ = -1;
};

}  // namespace fennick::viewer
