#include "unit_list.h"

#include <algorithm>
#include <cstdlib>

#include "allocation.h"
#include "formats.h"
#include "model_tree.h"
#include "records/chain.h"
#include "records/index_keys.h"
#include "records/unit_ledger.h"
#include "records/unit_notes.h"
#include "records/units.h"
#include "startup.h"
#include "unit_detail.h"

namespace fennick::core {

namespace {

// The model's index entries and unit records, read ahead.
void readAheadModel(store::Store& store, std::int32_t line, const std::string& model) {
    if (!store.keeping()) return;
    store::IndexScan scan = store.scanIndex("MUNITI", UnitIndexKey::ofModel(line, model),
                                            UnitIndexKey::pastModel(line, model));
    store.readAhead("UNITL", scan.records);
}

// The sub-ledger chains of the units, read ahead a link per round across all of them; a unit the
// check then drops costs its few reads and nothing more (its chain is not walked).
void readAheadLedgers(store::Store& store, const std::vector<clsUnits>& units) {
    std::vector<std::int32_t> heads;
    for (const auto& unit : units)
        heads.push_back(unit.SubLedgerChain);
    store.readAheadChains("LUNITL", heads, [](std::string_view bytes) {
        clsUnitsLedger posting;
        posting.Unpack(bytes);
        return posting.Chain;
    });
}

// What showing `unit` reads: its notes and the user-defined names.
void readAheadShown(store::Store& store, const clsUnits& unit) {
    store.readAheadBlocks("FILE0", kUserDefinedNamesBlock, kUserDefinedNamesBlock);
    if (unit.NoteChain == 0) return;
    store.readAheadChains(kUnitNotesFile, {unit.NoteChain}, [](std::string_view bytes) {
        clsUnitnotes note;
        note.Unpack(bytes);
        return note.Chain;
    });
}

std::string chainProblem(const std::string& unit, const ChainWalk& walk) {
    std::string where = walk.looped() ? " returns to record" : " links to record";
    std::string why = walk.looped() ? "" : ", outside LUNITL";
    return "The sub-ledger chain of unit " + unit + where + formatNumber(walk.stoppedAt) + why +
           "; its cost counts the postings before that.";
}

// The cost of each unit from its sub-ledger, every unit's chain walked at once.
std::vector<Currency> ledgerCosts(store::Store& store, const std::vector<const clsUnits*>& units,
                                  std::vector<std::string>& problems) {
    std::vector<std::int32_t> heads;
    for (const clsUnits* unit : units)
        heads.push_back(unit->SubLedgerChain);
    auto chains = store.chains<clsUnitsLedger>("LUNITL", heads);
    std::vector<Currency> costs;
    for (std::size_t i = 0; i < units.size(); ++i) {
        Currency cost;
        for (const auto& posting : chains[i].records)
            cost += posting.Amount;
        if (chains[i].walk.stop != ChainStop::End)
            problems.push_back(chainProblem(codec::trun(units[i]->Unit_Number), chains[i].walk));
        costs.push_back(cost);
    }
    return costs;
}

// Which of `units` a sale in progress holds, by `sales` when the caller collected them, else by
// those collected beside the list, else collected now.
std::vector<bool> heldBySales(store::Store& store, const std::vector<clsUnits>& units,
                              const AllocatedUnits* sales, SalesBeside* beside) {
    std::vector<std::string> numbers;
    for (const auto& unit : units)
        numbers.push_back(unit.Unit_Number);
    if (sales) return sales->holdEach(numbers);
    return (beside ? beside->finish() : AllocatedUnits::collect(store)).holdEach(numbers);
}

UnitRow unitRow(const clsUnits& u, Currency cost, std::int64_t days, const std::string& lineCode,
                const std::string& model) {
    auto t = [](const std::string& text) { return codec::trun(text); };
    UnitRow row;
    row.unit = t(u.Unit_Number);
    row.make = t(u.Make_or_Manufacturer);
    row.model = t(u.Model_Number);
    row.year = u.Model_Year;
    row.color = t(u.Unit_Color);
    row.received = u.Date_Received_In;
    row.location = t(u.Location_of_Unit);
    row.serial = t(u.Unit_Serial_Number);
    row.mfgId = t(u.Manufacturers_Identificati);
    row.series = t(u.Model_Series_Number);
    row.engineType = t(u.Engine_Type);
    row.engineId = t(u.Engine_ID_Number);
    row.driveType = t(u.Drive_type_2wd_4wd);
    row.meterTenths = u.Meter_Reading;
    row.status = t(u.Unit_Status_A_R_S_U);
    row.unitType = t(u.User_Defined_Unit_Type);
    row.alpha1 = t(u.User_Defined_Alpha_1);
    row.alpha2 = t(u.User_Defined_Alpha_2);
    row.numeric1 = u.User_Defined_Numeric_1;
    row.numeric2 = u.User_Defined_Numeric_2;
    row.description = t(u.Model_Description);
    row.suggestedList = u.Suggested_LIst_Price;
    row.dealerList = u.Dealers_List_Price;
    row.cost = cost;
    row.daysInStock = days;
    row.noteChain = u.NoteChain;
    row.historyChain = u.HistoryChain;
    row.subLedgerChain = u.SubLedgerChain;
    row.lineCode = lineCode;
    row.listedModel = model;
    return row;
}

}  // namespace

namespace {

// `sales`: collected by the caller, or null to collect them here when the check is once per list.
UnitList listUnits(store::Store& store, const std::string& lineCode, const std::string& model,
                   AllocationCheck check, WorkProgress* progress, const AllocatedUnits* sales,
                   const std::string& shownNext) {
    auto action = store.action();
    UnitList out;
    const UnitList cancelled{{}, {}, true};
    std::int64_t read = 0;
    // Every file is opened here: nothing may open one while work runs beside.
    std::vector<std::string> files = {"LINEI",  "LINEL", "MUNITI", "UNITL",
                                      "LUNITL", "TICKI", "INVOL"};
    if (!shownNext.empty()) files.push_back(kUnitNotesFile);
    store.openAhead(files, {"FILE0"});
    std::int32_t line = ModelTree(store).lookupLineNumber(lineCode);
    if (line < 1) return out;
    // The sales in progress do not depend on the model: they are read and decoded while the
    // model's index, units and sub-ledgers are read.
    std::unique_ptr<SalesBeside> salesBeside;
    if (check == AllocationCheck::OncePerList && !sales)
        salesBeside = SalesBeside::start(store, {"MUNITI", "UNITL", "LUNITL"});
    readAheadModel(store, line, model);
    const std::string trimmed = codec::trun(model);
    const Date today = store.today();
    // Every test that drops a unit comes before its sub-ledger is read, so that the reads
    // and any chain problem concern listed units only.
    std::vector<clsUnits> listed;
    std::vector<std::int32_t> records;  // of each listed unit
    for (auto entry = store.find("MUNITI", UnitIndexKey::ofModel(line, model));
         !entry.end() && UnitIndexKey::of(entry.key()).inModel(line, trimmed); entry.next()) {
        auto unit = store.read<clsUnits>("UNITL", entry.record());
        if (!goOn(progress, codec::trun(unit.Unit_Number), read++)) return cancelled;
        if (!unit.notSold()) continue;
        if (check == AllocationCheck::PerUnit &&
            isUnitallocated(store, lineCode, model, unit.Unit_Number))
            continue;
        listed.push_back(std::move(unit));
        records.push_back(entry.record());
    }
    if (!goOn(progress, std::string(), read)) return cancelled;
    if (listed.empty()) return out;
    // The check only decides which sub-ledgers count: they are read ahead while it runs, and
    // so is what showing the unit shown next reads.
    std::unique_ptr<store::Store::Beside> ledgersAhead, shownAhead;
    if (salesBeside) {
        ledgersAhead =
            store.beside({"LUNITL"}, {}, [&store, &listed] { readAheadLedgers(store, listed); });
        const std::string number = codec::trun(shownNext);
        auto shown = std::find_if(listed.begin(), listed.end(), [&](const clsUnits& unit) {
            return codec::trun(unit.Unit_Number) == number;
        });
        if (!number.empty() && shown != listed.end())
            shownAhead = store.beside({kUnitNotesFile}, {"FILE0"},
                                      [&store, &unit = *shown] { readAheadShown(store, unit); });
    }
    std::vector<bool> taken(listed.size(), false);
    if (check == AllocationCheck::OncePerList)
        taken = heldBySales(store, listed, sales, salesBeside.get());
    if (ledgersAhead) ledgersAhead->finish();
    if (shownAhead) shownAhead->finish();
    std::vector<const clsUnits*> kept;
    std::vector<std::int32_t> keptRecords;
    for (std::size_t i = 0; i < listed.size(); ++i)
        if (!taken[i]) {
            kept.push_back(&listed[i]);
            keptRecords.push_back(records[i]);
        }
    std::vector<Currency> costs = ledgerCosts(store, kept, out.problems);
    for (std::size_t i = 0; i < kept.size(); ++i) {
        std::int64_t days = daysBetween(kept[i]->Date_Received_In, today);
        out.rows.push_back(unitRow(*kept[i], costs[i], days, lineCode, model));
        out.rows.back().record = keptRecords[i];
    }
    return out;
}

}  // namespace

UnitList LoadUnits(store::Store& store, const std::string& lineCode, const std::string& model,
                   AllocationCheck check, WorkProgress* progress, const std::string& shownNext) {
    return listUnits(store, lineCode, model, check, progress, nullptr, shownNext);
}

UnitList LoadUnits(store::Store& store, const std::string& lineCode, const std::string& model,
                   const AllocatedUnits& sales, WorkProgress* progress) {
    return listUnits(store, lineCode, model, AllocationCheck::OncePerList, progress, &sales, {});
}

}  // namespace fennick::core
