// Reads that fail at every point of every action: for each N from 0 to the number of reads an
// action makes, the share fails every read after the first N. The action must then either give
// the same result as without failures or say that something went wrong (an error that reaches
// the window, a message box, a warning); a shorter result shown as if it were whole is a fault.

#include <gtest/gtest.h>

#include <functional>

#include "core/csv.h"
#include "core/export_file.h"
#include "core/model_tree.h"
#include "core/startup.h"
#include "core/stock_ageing.h"
#include "core/unit_detail.h"
#include "core/unit_list.h"
#include "core/unit_report.h"
#include "core/unit_search.h"
#include "viewer_share.h"

namespace fennick::core {
namespace {

// What an action showed, and whether it said that something went wrong on the way.
struct Shown {
    std::string text;
    bool warned = false;
};

template <class Cells>
std::string joined(const Cells& cells) {
    std::string out;
    for (const auto& cell : cells)
        out += cell + "|";
    return out;
}

Shown treeOf(store::Store& store, bool inStock) {
    Shown shown;
    for (const auto& line : ModelTree(store).loadtree(inStock).lines) {
        shown.text += line.text + line.tag + "\n";
        for (const auto& model : line.models)
            shown.text += " " + model.text + model.tag + "\n";
    }
    return shown;
}

UnitList listOf(store::Store& store, Shown& shown) {
    UnitList list = LoadUnits(store, "CTR", "CT100 HST");
    for (const auto& row : list.rows)
        shown.text += joined(unitCells(row)) + "\n";
    shown.warned = shown.warned || !list.problems.empty();
    return list;
}

Shown detailsOf(store::Store& store, bool report) {
    Shown shown;
    UnitList list = listOf(store, shown);
    if (list.rows.empty()) return shown;
    UnitDetail detail = selectUnit(store, list.rows.front());
    shown.warned = shown.warned || !detail.problems.empty();
    shown.text += joined(detail.values);
    for (const auto* grid : {&detail.grids.factory, &detail.grids.dealer, &detail.grids.attached})
        for (const auto& row : *grid)
            shown.text += joined(row);
    shown.text += joined(detail.grids.notes);
    if (report) {
        auto headings = unitGridHeadings(readUserDefinedNames(store));
        shown.text = buildUnitReport(headings, list.rows.front(), detail.grids, "07/01/2025");
    }
    return shown;
}

Shown exportOf(store::Store& store) {
    Shown shown;
    UnitList list = listOf(store, shown);
    auto target = exportTarget(store.system());
    writeExportFile(store.share(), target, singleUnitExport(list.rows.data()));
    shown.text = singleUnitExport(list.rows.data());
    return shown;
}

struct Action {
    const char* name;
    std::function<Shown(test_support::ViewerShare&)> run;
};

const Action kActions[] = {
    {"start-up",
     [](test_support::ViewerShare& s) {
         s.reopen();
         return Shown{joined(readUserDefinedNames(*s.store)), false};
     }},
    {"tree in stock", [](test_support::ViewerShare& s) { return treeOf(*s.store, true); }},
    {"tree", [](test_support::ViewerShare& s) { return treeOf(*s.store, false); }},
    {"unit list",
     [](test_support::ViewerShare& s) {
         Shown shown;
         listOf(*s.store, shown);
         return shown;
     }},
    {"details", [](test_support::ViewerShare& s) { return detailsOf(*s.store, false); }},
    {"report", [](test_support::ViewerShare& s) { return detailsOf(*s.store, true); }},
    {"export", [](test_support::ViewerShare& s) { return exportOf(*s.store); }},
    {"ageing",
     [](test_support::ViewerShare& s) {
         return Shown{csvTable(ageingTable(stockAgeing(*s.store))), false};
     }},
    {"find",
     [](test_support::ViewerShare& s) {
         Shown shown;
         auto tree = ModelTree(*s.store).loadtree(false);
         for (const auto& match : findUnits(*s.store, tree.directory, "c"))
             shown.text += match.unit + (match.listed ? " listed\n" : "\n");
         return shown;
     }},
};

// A line of units with notes, sub-ledger postings, open tickets and listed invoices.
demo::DealerData sweepData() {
    demo::DealerData d;
    d.lines = {test_support::unitLine(), test_support::unitLine(2, "LDR", "LOADERS")};
    for (const char* number : {"C1", "C2", "C3"}) {
        demo::UnitSpec u = test_support::unitOf("CT100 HST", number);
        u.ledgerCents = {150000, 2500};
        u.notes = {{1, "", 0, u.received, "Arrived"}, {2, "CAB", 1, u.received, "Cab", 1, 2}};
        d.units.push_back(u);
    }
    d.units.push_back(test_support::unitOf("CT200", "C4"));
    d.units.push_back(test_support::unitOf("L1", "L9", 2));
    d.openTickets = {test_support::invoiceNaming({{"P1"}, {"C2"}})};
    d.listedInvoices = {test_support::invoiceNaming({{"X9"}})};
    d.listPositions = {1};
    return d;
}

TEST(FailingReads, EveryActionEndsWholeOrWithAMessage) {
    test_support::RecordingServices services;
    test_support::ViewerShare share(sweepData());
    platform::MemoryFileSystem& memory = share.log->memory;
    for (const auto& action : kActions) {
        SCOPED_TRACE(action.name);
        services.boxes.clear();
        auto before = memory.counters().reads;
        Shown whole = action.run(share);
        auto reads = memory.counters().reads - before;
        ASSERT_TRUE(services.boxes.empty() && !whole.warned && !whole.text.empty());
        ASSERT_GT(reads, 0);
        for (std::int64_t n = 0; n <= reads; ++n) {
            services.boxes.clear();
            memory.failReadsAfter(n);
            bool said = false;
            Shown shown;
            try {
                shown = action.run(share);
            } catch (const EngineError& failure) {
                said = true;  // the window's message box, the command-line tool's exit 1
                EXPECT_EQ(failure.number(), err::kDeviceIo) << failure.description();
            }
            memory.failReadsAfter(-1);
            said = said || shown.warned || !services.boxes.empty();
            EXPECT_TRUE(said || shown.text == whole.text)
                << "after " << n << " of " << reads << " reads:\n"
                << shown.text << "\ninstead of\n"
                << whole.text;
        }
    }
}

}  // namespace
}  // namespace fennick::core
