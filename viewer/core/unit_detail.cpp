#include "unit_detail.h"

#include <cstdlib>

#include "formats.h"
#include "model_tree.h"
#include "records/chain.h"
#include "records/unit_notes.h"

namespace fennick::viewer {

namespace {

// The leading decimal number of a cell, 0 when it has none.
std::int32_t cellNumber(const std::string& text) {
    return static_cast<std::int32_t>(std::strtol(text.c_str(), nullptr, 10));
}

std::string noteChainProblem(const ChainWalk& walk) {
    return walk.looped() ? "The note chain returns to record" + formatNumber(walk.stoppedAt) +
                               "; the notes before it are shown."
                         : "The note chain links to record" + formatNumber(walk.stoppedAt) +
                               ", outside UNOTEL; the notes before it are shown.";
}

}  // namespace

DetailValues showUnitDetails(const UnitRow& row) {
    DetailValues values;
    auto cell = [&](std::size_t c) { return c < row.size() ? row[c] : std::string(); };
    for (std::size_t k = 0; k < 16; ++k)
        values[k] = cell(col::kFirstDetail + k);
    values[16] = costLetterCode(cell(col::kCost));
    values[17] = cell(col::kDaysInStock);
    return values;
}

NoteGrids readUnitNotes(cBusinessBasic& engine, std::int32_t firstNote,
                        std::vector<std::string>& problems) {
    NoteGrids grids;
    if (firstNote == 0) return grids;
    auto chain = readChain<clsUnitnotes>(engine, "UNOTEL", firstNote);
    for (const auto& note : chain.records) {
        std::vector<std::string> option{codec::trun(note.Code), std::to_string(note.Quantity),
                                        codec::trun(note.Description), moneyText(note.List)};
        switch (note.NoteType) {
            case 1:
                grids.notes.push_back(codec::trun(note.Description));
                break;
            case 2:
                grids.factory.push_back(option);
                break;
            case 3:
                grids.dealer.push_back(option);
                break;
            case 4:
                grids.attached.push_back(option);
                break;
            default:
                break;
        }
    }
    if (chain.walk.stop != ChainStop::End) problems.push_back(noteChainProblem(chain.walk));
    return grids;
}

UnitDetail selectUnit(cBusinessBasic& engine, const UnitRow& row) {
    UnitDetail detail;
    std::int32_t first = row.size() > col::kNoteChain ? cellNumber(row[col::kNoteChain]) : 0;
    detail.grids = readUnitNotes(engine, first, detail.problems);
    detail.values = showUnitDetails(row);
    return detail;
}

NodeClick clickNode(cBusinessBasic& engine, const std::string& tag) {
    auto [lineCode, model] = splitTag(tag);
    NodeClick click{LoadUnits(engine, lineCode, model), std::nullopt};
    if (!click.list.rows.empty()) click.firstUnit = selectUnit(engine, click.list.rows.front());
    return click;
}

UnitButtons buttonsForShownUnit(bool fromPointOfSale) {
    return {true, true, true, !fromPointOfSale};
}

}  // namespace fennick::viewer
