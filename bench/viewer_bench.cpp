// The read path on a large dealer share (200,000 units, 2,000 open tickets of up to 3 pages,
// the FILE0 invoice lists full), behind a file system that adds a chosen latency to every round
// trip, as a file server does: building the tree (filter off and on), listing a 200-unit model
// and showing one unit, each with the batched reads and with the record-by-record reads they
// replace, at 0, 0.2 and 1 ms per round trip. Every run reports the reads that reached the share
// (calls), their bytes and the time; the table at the end sets each record-by-record time
// against the batched one measured in the same run, and gives the batched runs' CPU time on the
// calling thread (a busy machine stretches it into more wall time).
//
// Then a search for a serial after the tree is built, set against building the tree again and
// searching, in the same run. (The stock ageing has its own figures: bench/ageing_figures.)
//
// The record-by-record tree makes one call per unit record (about 190,000): at 0.2 and 1 ms it
// would run for minutes. Its calls are strictly one after another, so its time there is given
// as its time at 0 ms plus its calls times the measured cost of one waited call, and marked as
// such. The record-by-record unit list is measured for real at every latency, once.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <map>
#include <sstream>

#ifdef __linux__
#include <sys/prctl.h>
#endif

#include "bench_share.h"
#include "core/model_tree.h"
#include "core/unit_detail.h"
#include "core/unit_list.h"
#include "core/unit_search.h"
#include "platform/latency_file_system.h"
#include "store/open_store.h"

namespace {

using namespace fennick;
using std::chrono::microseconds;

const std::string kLine = "CTR", kModel = "CT100";   // model 0 of the demo: 200 units
const std::vector<int> kLatencies = {0, 200, 1000};  // microseconds per round trip
const std::string kSearch = "1ha40001";              // part of two units' serial numbers

platform::LatencyFileSystem* server = nullptr;  // under the engine's read cache
core::UnitRow shownRow;                         // the unit "show unit" shows
core::ModelTreeData builtTree;                  // the tree the window shows, searched by "find"

std::unique_ptr<store::Store> opened;  // the store the actions read

store::Store& dealerStore() {
    return *opened;
}
store::ReadCache& cache() {
    return *dealerStore().cache();
}

// Writes the share into `folder` (or finds it written) and starts the engine over it, the server
// in between.
void prepareShare(const std::filesystem::path& folder) {
    const std::string ini = bench::benchShare(std::filesystem::absolute(folder)).settingsFile;
    store::StoreStart start;
    start.settingsFile = ini;
    start.share.uncRoot = folder.string();
    start.decorate = [](auto share) {
        auto latency = std::make_unique<platform::LatencyFileSystem>(std::move(share));
        server = latency.get();
        return latency;
    };
    opened = store::openStore(start);
    if (!opened) throw std::runtime_error("no store");
}

struct Action {
    std::string name;
    std::function<void()> run;
};

std::vector<Action> actions() {
    return {
        {"tree", [] { benchmark::DoNotOptimize(core::ModelTree(dealerStore()).loadtree(false)); }},
        {"tree in stock",
         [] { benchmark::DoNotOptimize(core::ModelTree(dealerStore()).loadtree(true)); }},
        {"unit list",
         [] { benchmark::DoNotOptimize(core::LoadUnits(dealerStore(), kLine, kModel)); }},
        {"show unit", [] { benchmark::DoNotOptimize(core::selectUnit(dealerStore(), shownRow)); }}};
}

struct Comparison {
    Action action, baseline;
    std::vector<int> latencies;
};

std::vector<Comparison> comparisons() {
    auto find = [] {
        benchmark::DoNotOptimize(core::findUnits(dealerStore(), builtTree.directory, kSearch));
    };
    return {{{"find", find},
             {"tree + find",
              [find] {
                  auto action = dealerStore().action();
                  builtTree = core::ModelTree(dealerStore()).loadtree(false);
                  find();
              }},
             kLatencies}};
}

// Runs the action once per iteration with the given latency and read path; reports the reads
// that reached the share, their bytes and every round trip, per iteration.
void measure(benchmark::State& state, const Action& action, int latency, bool batched) {
    server->setLatency(microseconds(latency));
    cache().setBatching(batched);
    auto before = server->counters();
    auto trips = server->roundTrips();
    for (auto _ : state)
        action.run();
    auto per = [&](std::int64_t value) {
        return benchmark::Counter(static_cast<double>(value), benchmark::Counter::kAvgIterations);
    };
    state.counters["calls"] = per(server->counters().reads - before.reads);
    state.counters["bytes"] = per(server->counters().bytesRead - before.bytesRead);
    state.counters["trips"] = per(server->roundTrips() - trips);
    server->setLatency({});
    cache().setBatching(true);
}

// What one waited round trip costs on this machine: the latency and the sleep's overshoot.
double waitedCallMs(int latency) {
    server->setLatency(microseconds(latency));
    const int calls = 200;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < calls; ++i)
        server->wait();
    server->setLatency({});
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
               .count() /
           calls;
}

std::string runName(const std::string& action, bool batched, int latency) {
    return action + "/" + (batched ? "batched" : "record") + "/" + std::to_string(latency) + "us";
}

void registerRuns() {
    for (const auto& action : actions()) {
        bool isTree = action.name.rfind("tree", 0) == 0;
        for (int latency : kLatencies)
            for (bool batched : {true, false}) {
                if (isTree && !batched && latency > 0) continue;  // estimated, see above
                int iterations = batched ? (latency > 0 ? 3 : 5) : (latency > 0 || isTree ? 1 : 3);
                benchmark::RegisterBenchmark(runName(action.name, batched, latency).c_str(),
                                             [action, latency, batched](benchmark::State& s) {
                                                 measure(s, action, latency, batched);
                                             })
                    ->Iterations(iterations)
                    ->UseRealTime()
                    ->Unit(benchmark::kMillisecond);
            }
    }
    for (const auto& comparison : comparisons())
        for (int latency : comparison.latencies)
            for (const Action& action : {comparison.action, comparison.baseline}) {
                int iterations = comparison.latencies.size() < 3 ? 1 : 3;
                benchmark::RegisterBenchmark(
                    runName(action.name, true, latency).c_str(),
                    [action, latency](benchmark::State& s) { measure(s, action, latency, true); })
                    ->Iterations(iterations)
                    ->UseRealTime()
                    ->Unit(benchmark::kMillisecond);
            }
}

struct Figures {
    double ms = 0, calls = 0, bytes = 0, cpuMs = 0;
};

// The console report, then the table: each action at each latency, batched and record by
// record, and the record-by-record time divided by the batched one.
class TableReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs) {
            if (run.error_occurred) continue;
            std::string name = run.run_name.function_name;
            Figures f{run.GetAdjustedRealTime(), run.counters.at("calls"), run.counters.at("bytes"),
                      run.GetAdjustedCPUTime()};
            figures_[name] = f;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::map<int, double> callMs;
        for (int latency : kLatencies)
            callMs[latency] = latency == 0 ? 0.0 : waitedCallMs(latency);
        std::cout << "\n"
                  << std::left << std::setw(15) << "action" << std::setw(9) << "latency"
                  << std::right << std::setw(10) << "calls" << std::setw(14) << "bytes"
                  << std::setw(12) << "time ms" << std::setw(9) << "cpu ms"
                  << " | " << std::setw(10) << "calls" << std::setw(14) << "bytes" << std::setw(13)
                  << "time ms" << std::setw(10) << "ratio\n";
        std::cout << std::setw(15) << "" << std::setw(9) << ""
                  << "    batched reads" << std::setw(35) << ""
                  << " | record by record\n";
        for (const auto& action : actions())
            for (int latency : kLatencies)
                row(action.name, latency, callMs);
        std::cout << "(est.): time at 0 ms plus calls x one waited call (" << std::fixed
                  << std::setprecision(3) << callMs[200] << " ms at 0.2 ms, " << callMs[1000]
                  << " ms at 1 ms)\n\n";
        std::cout << std::left << std::setw(15) << "action" << std::setw(9) << "latency"
                  << std::right << std::setw(10) << "calls" << std::setw(14) << "bytes"
                  << std::setw(12) << "time ms"
                  << " | " << std::setw(15) << "against" << std::setw(10) << "calls"
                  << std::setw(14) << "bytes" << std::setw(12) << "time ms" << std::setw(10)
                  << "ratio\n";
        for (const auto& comparison : comparisons())
            for (int latency : comparison.latencies)
                compared(comparison, latency);
    }

  private:
    void row(const std::string& action, int latency, std::map<int, double>& callMs) {
        auto batched = figures_.find(runName(action, true, latency));
        if (batched == figures_.end()) return;
        Figures record;
        bool estimated = false;
        if (auto it = figures_.find(runName(action, false, latency)); it != figures_.end()) {
            record = it->second;
        } else if (auto zero = figures_.find(runName(action, false, 0)); zero != figures_.end()) {
            record = zero->second;
            record.ms += record.calls * callMs[latency];
            estimated = true;
        } else {
            return;
        }
        const Figures& b = batched->second;
        std::cout << std::left << std::setw(15) << action << std::setw(9)
                  << (std::to_string(latency / 1000.0).substr(0, 3) + " ms") << std::right
                  << std::fixed << std::setprecision(0) << std::setw(10) << b.calls << std::setw(14)
                  << b.bytes << std::setprecision(1) << std::setw(12) << b.ms << std::setw(9)
                  << b.cpuMs << " | " << std::setprecision(0) << std::setw(10) << record.calls
                  << std::setw(14) << record.bytes << std::setprecision(1) << std::setw(13)
                  << record.ms << (estimated ? "(est.)" : "      ") << std::setw(8)
                  << record.ms / b.ms << "\n";
    }
    void compared(const Comparison& comparison, int latency) {
        auto a = figures_.find(runName(comparison.action.name, true, latency));
        auto b = figures_.find(runName(comparison.baseline.name, true, latency));
        if (a == figures_.end() || b == figures_.end()) return;
        auto columns = [](const Figures& f) {
            std::ostringstream out;
            out << std::fixed << std::setprecision(0) << std::setw(10) << f.calls << std::setw(14)
                << f.bytes << std::setprecision(1) << std::setw(12) << f.ms;
            return out.str();
        };
        std::cout << std::left << std::setw(15) << comparison.action.name << std::setw(9)
                  << (std::to_string(latency / 1000.0).substr(0, 3) + " ms") << std::right
                  << columns(a->second) << " | " << std::setw(15) << comparison.baseline.name
                  << columns(b->second) << std::setprecision(1) << std::setw(9)
                  << b->second.ms / a->second.ms << "\n";
    }
    std::map<std::string, Figures> figures_;
};

}  // namespace

int main(int argc, char** argv) {
#ifdef __linux__
    prctl(PR_SET_TIMERSLACK, 1UL);  // waits of 0.2 ms end close to when they should
#endif
    benchmark::Initialize(&argc, argv);
    std::filesystem::path folder = argc > 1 ? argv[1] : "bench-share";
    prepareShare(folder);
    // Opens every file once, as a running viewer has, and takes the unit that "show unit" shows.
    for (const auto& action : actions())
        if (action.name != "show unit") action.run();
    auto list = core::LoadUnits(dealerStore(), kLine, kModel);
    auto withNotes = std::find_if(list.rows.begin(), list.rows.end(),
                                  [](const auto& row) { return row.noteChain != 0; });
    if (withNotes == list.rows.end()) throw std::runtime_error("no unit of the model has notes");
    shownRow = *withNotes;
    builtTree = core::ModelTree(dealerStore()).loadtree(false);
    registerRuns();
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    opened.reset();
    benchmark::Shutdown();
    return 0;
}
