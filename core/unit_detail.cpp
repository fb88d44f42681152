#include "unit_detail.h"

#include "formats.h"
#include "model_tree.h"
#include "records/chain.h"
#include "records/unit_notes.h"

namespace fennick::core {

namespace {

std::string noteChainProblem(const ChainWalk& walk) {
    return walk.looped() ? "The note chain returns to record" + formatNumber(walk.stoppedAt) +
                               "; the notes before it are shown."
                         : "The note chain links to record" + formatNumber(walk.stoppedAt) +
                               ", outside UNOTEL; the notes before it are shown.";
}

}  // namespace

DetailValues showUnitDetails(const UnitRow& row) {
    constexpr auto first = static_cast<std::size_t>(UnitColumn::Serial);
    constexpr auto last = static_cast<std::size_t>(UnitColumn::DealerList);
    static_assert(last - first + 3 == kDetailValues);
    DetailValues values;
    for (std::size_t c = first; c <= last; ++c)
        values[c - first] = cellText(row, static_cast<UnitColumn>(c));
    values[kDetailValues - 2] = costLetterCode(cellText(row, UnitColumn::Cost));
    values[kDetailValues - 1] = cellText(row, UnitColumn::DaysInStock);
    return values;
}

NoteGrids readUnitNotes(store::Store& store, std::int32_t firstNote,
                        std::vector<std::string>& problems) {
    NoteGrids grids;
    if (firstNote == 0) return grids;
    auto chain = store.chain<clsUnitnotes>(kUnitNotesFile, firstNote);
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

UnitDetail selectUnit(store::Store& store, const UnitRow& row) {
    auto action = store.action();
    UnitDetail detail;
    detail.grids = readUnitNotes(store, row.noteChain, detail.problems);
    detail.values = showUnitDetails(row);
    return detail;
}

NodeClick clickNode(store::Store& store, const std::string& tag) {
    auto [lineCode, model] = splitTag(tag);
    NodeClick click{LoadUnits(store, lineCode, model), std::nullopt};
    if (!click.list.rows.empty()) click.firstUnit = selectUnit(store, click.list.rows.front());
    return click;
}

UnitButtons buttonsForShownUnit(bool fromPointOfSale) {
    return {true, true, true, !fromPointOfSale};
}

}  // namespace fennick::core
