// Speed of the unit list and the model tree on a large dealer share: 200,000 units, 2,000 open
// tickets of up to 3 pages and the FILE0 invoice lists full. The unit list of a 200-unit model
// is timed against the unit-by-unit allocation check in the same run, and the ratios printed at
// the end. Reads and bytes per operation come from the share's counters: "asked" counts every
// read the engine makes, "share" the reads that reached the files.

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>

#include "platform/local_file_system.h"
#include "platform/workstation.h"
#include "tools/mkdemo/demo_generator.h"
#include "tools/mkdemo/share_builder.h"
#include "tools/mkdemo/staged_file_system.h"
#include "tools/share_writer.h"
#include "viewer/core/engine_start.h"
#include "viewer/core/model_tree.h"
#include "viewer/core/read_cache.h"
#include "viewer/core/unit_list.h"

namespace {

using namespace fennick;

const std::string kLine = "CTR", kModel = "CT100";  // model 0 of the demo: 200 units

cBusinessBasic& engine() {
    return *mGlobalConnectivity::instance().BusinessBasic;
}
viewer::ReadCache& cache() {
    return *viewer::ReadCache::of(engine().Share());
}

// Writes the share into `folder` and starts the engine over it.
void prepareShare(const std::filesystem::path& folder) {
    auto started = std::chrono::steady_clock::now();
    std::filesystem::remove_all(folder);
    demo::DemoOptions options;
    options.units = 200000;
    options.tickets = 2000;
    options.listed = demo::kListPositions;
    options.maxPages = 3;
    demo::ShareIdentity identity;
    identity.computerName = platform::hostName();
    demo::StagedFileSystem staged;
    auto data = demo::generateDemo(options);
    demo::writeDealerShare(staged, data, identity);
    platform::LocalFileSystem local(folder);
    staged.commit(local);
    std::string ini = (folder / "vRMCatalog.ini").string();
    std::ofstream(ini) << tools::settingsText(identity.server, identity.directory, "7");
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
    std::cout << "Share of " << data.units.size() << " units, " << data.openTickets.size()
              << " open tickets, " << data.listedInvoices.size() << " listed invoices written in "
              << took.count() << " s\n";
    viewer::EngineStart start;
    start.settingsFile = ini;
    start.share.uncRoot = folder.string();
    viewer::startDataEngine(start);
    if (!mGlobalConnectivity::instance().BusinessBasic) throw std::runtime_error("no engine");
}

// Runs `body` once per iteration and reports the reads it made.
template <class Body>
void measured(benchmark::State& state, Body body) {
    auto asked = cache().counters(), share = cache().shareCounters();
    for (auto _ : state)
        body();
    auto per = [&](std::int64_t now, std::int64_t before) {
        return benchmark::Counter(static_cast<double>(now - before),
                                  benchmark::Counter::kAvgIterations);
    };
    state.counters["asked_reads"] = per(cache().counters().reads, asked.reads);
    state.counters["share_reads"] = per(cache().shareCounters().reads, share.reads);
    state.counters["share_bytes"] = per(cache().shareCounters().bytesRead, share.bytesRead);
}

void LoadUnitsOnePass(benchmark::State& state) {
    std::size_t rows = 0;
    measured(state, [&] { rows = viewer::LoadUnits(engine(), kLine, kModel).rows.size(); });
    state.counters["rows"] = static_cast<double>(rows);
}

void LoadUnitsPerUnitOracle(benchmark::State& state) {
    std::size_t rows = 0;
    measured(state, [&] {
        rows = viewer::LoadUnits(engine(), kLine, kModel, viewer::AllocationCheck::PerUnit)
                   .rows.size();
    });
    state.counters["rows"] = static_cast<double>(rows);
}

void LoadtreeFilterOff(benchmark::State& state) {
    measured(state, [] { benchmark::DoNotOptimize(viewer::ModelTree(engine()).loadtree(false)); });
}

void LoadtreeFilterOn(benchmark::State& state) {
    measured(state, [] { benchmark::DoNotOptimize(viewer::ModelTree(engine()).loadtree(true)); });
}

BENCHMARK(LoadUnitsOnePass)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(LoadUnitsPerUnitOracle)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(LoadtreeFilterOff)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(LoadtreeFilterOn)->Unit(benchmark::kMillisecond)->Iterations(3);

// The console report, then each benchmark's time as a ratio of the unit-by-unit oracle's.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs)
            if (!run.error_occurred) times_[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        auto oracle = times_.find("LoadUnitsPerUnitOracle/iterations:1");
        if (oracle == times_.end()) return;
        std::cout << "\nTime of the unit-by-unit oracle divided by each benchmark's time:\n";
        for (const auto& [name, time] : times_)
            std::cout << "  " << name << ": " << oracle->second / time << "\n";
    }

  private:
    std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::filesystem::path folder = argc > 1 ? argv[1] : "bench-share";
    prepareShare(folder);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    ReleaseDataEngine();
    benchmark::Shutdown();
    return 0;
}
