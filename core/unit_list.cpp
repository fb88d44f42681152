#include "unit_list.h"

#include <algorithm>
#include <cstdlib>

#include "allocation.h"
#include "formats.h"
#include "model_tree.h"
#include "prefetch.h"
#include "records/chain.h"
#include "records/unit_ledger.h"
#include "records/units.h"
#include "unit_index.h"

namespace fennick::core {

namespace {

constexpr std::size_t kListKeyLength = 20;
constexpr std::size_t kModelPrefix = 14;  // line number and compressed model

// The smallest key above every key that begins with the first `length` bytes of `key`; empty
// when there is none.
std::string prefixEnd(std::string key, std::size_t length) {
    key.resize(std::min(key.size(), length));
    while (!key.empty() && key.back() == '\xFF')
        key.pop_back();
    if (!key.empty()) key.back() = static_cast<char>(static_cast<unsigned char>(key.back()) + 1);
    return key;
}

// The model's unit records, then the sub-ledger chains of the units the list will cost.
void prefetchModel(cBusinessBasic& engine, const std::string& key) {
    if (!batchingCache(engine)) return;
    IndexScan scan = scanIndex(engine, "MUNITI", key, prefixEnd(key, kModelPrefix));
    prefetchRecords(engine, "UNITL", scan.records);
    std::vector<std::int32_t> chains;
    for (std::int32_t record : scan.records) {
        try {
            clsUnits unit;
            unit.Unpack(engine.LreadFile("UNITL", record));
            if (unit.Date_Sold == codec::kEmptyDate && unit.SubLedgerChain != 0)
                chains.push_back(unit.SubLedgerChain);
        } catch (const std::exception&) {
            // The walk reads this unit itself and meets the failure there.
        }
    }
    prefetchChains(engine, "LUNITL", chains, [](const std::string& record) {
        clsUnitsLedger posting;
        posting.Unpack(record);
        return posting.Chain;
    });
}

std::string chainProblem(const std::string& unit, const ChainWalk& walk) {
    std::string where = walk.looped() ? " returns to record" : " links to record";
    std::string why = walk.looped() ? "" : ", outside LUNITL";
    return "The sub-ledger chain of unit " + unit + where + formatNumber(walk.stoppedAt) + why +
           "; its cost counts the postings before that.";
}

Currency ledgerCost(cBusinessBasic& engine, const clsUnits& unit,
                    std::vector<std::string>& problems) {
    Currency cost;
    if (unit.SubLedgerChain == 0) return cost;
    auto chain = readChain<clsUnitsLedger>(engine, "LUNITL", unit.SubLedgerChain);
    for (const auto& posting : chain.records)
        cost += posting.Amount;
    if (chain.walk.stop != ChainStop::End)
        problems.push_back(chainProblem(codec::trun(unit.Unit_Number), chain.walk));
    return cost;
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

Date engineToday(const cBusinessBasic& engine) {
    platform::LocalDateTime now = engine.Now();
    return Date{std::chrono::year{now.year} / now.month / now.day};
}

namespace {

// `sales`: collected by the caller, or null to collect them here when the check is once per list.
UnitList listUnits(cBusinessBasic& engine, const std::string& lineCode, const std::string& model,
                   AllocationCheck check, WorkProgress* progress, const AllocatedUnits* sales) {
    ReadCache::Scope action(engine.Share());
    UnitList out;
    const UnitList cancelled{{}, {}, true};
    std::int64_t read = 0;
    std::int32_t line = ModelTree(engine).lookupLineNumber(lineCode);
    if (line < 1) return out;
    std::string buff, key = unitSearchKey(engine, line, model, kListKeyLength);
    prefetchModel(engine, key);
    const std::string trimmed = codec::trun(model);
    const Date today = engineToday(engine);
    // Every test that drops a unit comes before its sub-ledger is read, so that the reads
    // and any chain problem concern listed units only.
    std::vector<clsUnits> listed;
    std::int32_t rec = 0;
    engine.KFind("MUNITI", buff, key, rec);
    for (rec = std::abs(rec); rec != 0 && keyInModel(engine, key, line, trimmed);
         engine.KNext("MUNITI", buff, key, rec)) {
        clsUnits unit;
        unit.Unpack(engine.LreadFile("UNITL", rec));
        if (!goOn(progress, codec::trun(unit.Unit_Number), read++)) return cancelled;
        if (unit.Date_Sold != codec::kEmptyDate || unit.Sold_Invoice_Number != 0) continue;
        if (check == AllocationCheck::PerUnit &&
            isUnitallocated(engine, lineCode, model, unit.Unit_Number))
            continue;
        listed.push_back(std::move(unit));
    }
    if (!goOn(progress, std::string(), read)) return cancelled;
    if (listed.empty()) return out;
    std::vector<bool> taken(listed.size(), false);
    if (check == AllocationCheck::OncePerList) {
        std::vector<std::string> numbers;
        for (const auto& unit : listed)
            numbers.push_back(unit.Unit_Number);
        taken =
            sales ? sales->holdEach(numbers) : AllocatedUnits::collect(engine).holdEach(numbers);
    }
    for (std::size_t i = 0; i < listed.size(); ++i) {
        if (taken[i]) continue;
        Currency cost = ledgerCost(engine, listed[i], out.problems);
        std::int64_t days = daysBetween(listed[i].Date_Received_In, today);
        out.rows.push_back(unitRow(listed[i], cost, days, lineCode, model));
    }
    return out;
}

}  // namespace

UnitList LoadUnits(cBusinessBasic& engine, const std::string& lineCode, const std::string& model,
                   AllocationCheck check, WorkProgress* progress) {
    return listUnits(engine, lineCode, model, check, progress, nullptr);
}

UnitList LoadUnits(cBusinessBasic& engine, const std::string& lineCode, const std::string& model,
                   const AllocatedUnits& sales, WorkProgress* progress) {
    return listUnits(engine, lineCode, model, AllocationCheck::OncePerList, progress, &sales);
}

}  // namespace fennick::core
