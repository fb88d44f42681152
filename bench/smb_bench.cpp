// The program's actions over real SMB: Samba's smbd on the loopback address serving the large
// benchmark share (bench_share.h), behind the delay proxy (delay_proxy.h) at 0, 1 and 20 ms
// round trips and at 20 ms with 100 Mbit/s each way. Each action runs with the reader pool as the
// program sizes it by default (8 connections, 24 once the link proves slow) and, in the same run,
// with one connection (one read at a time on the wire); the
// table gives the SMB requests that crossed the proxy, the bytes both ways, the time, and the
// one-connection time divided by the pool's.
//
// Actions: the tree (the window's first read after start-up), the unit list of model CTR CT1000
// (166 units), "one unit" (fennick-cli unit: the list, then the unit's details), showing a unit
// of the listed model (its details alone), a search for a serial number, the stock ageing, and
// the whole fennick-cli process for "unit CTR CT1000 C100901" from its start (five runs, the
// median shown, every run's time listed under the link). The ageing reads every model: over
// 20 ms it runs once, with the pool only.
//
//   smb_bench [FOLDER]                  the table (the share is written into FOLDER once)
//   smb_bench --serve MS [MBIT] [FOLDER]  serves the share behind the proxy until stdin ends,
//                                       for trying the programs by hand over a slow link
//   smb_bench --trace MS [MBIT] [FOLDER]  the calls each action makes over that link, in rounds

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "bench_share.h"
#include "core/model_tree.h"
#include "core/stock_ageing.h"
#include "core/unit_detail.h"
#include "core/unit_list.h"
#include "core/unit_search.h"
#include "delay_proxy.h"
#include "read_trace.h"
#include "samba_server.h"
#include "store/open_store.h"

extern char** environ;

namespace {

using namespace fennick;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const std::string kLine = "CTR", kModel = "CT1000", kUnit = "C100901";
const std::string kSearch = "1ha40001";

struct LinkCase {
    const char* name;
    bench::Link link;
};

const std::vector<LinkCase> kLinks = {
    {"0 ms", {std::chrono::microseconds(0), 0}},
    {"1 ms", {std::chrono::microseconds(500), 0}},
    {"20 ms", {std::chrono::microseconds(10000), 0}},
    {"20 ms 100 Mbit/s", {std::chrono::microseconds(10000), 100e6}},
};

struct Figures {
    std::int64_t requests = 0, bytes = 0;
    double seconds = 0;
    bool measured = false;
    std::vector<double> runs;  // every run's time, in order
};

struct World {
    bench::BenchShare share;
    bench::DelayProxy* proxy = nullptr;
    fs::path cli;
};

// The run that stands for `runs` runs of `action`: the fastest, or the median one.
enum class Pick { Fastest, Median };

Figures measure(bench::DelayProxy& proxy, int runs, const std::function<void()>& action,
                Pick pick = Pick::Fastest) {
    std::vector<Figures> all;
    for (int run = 0; run < runs; ++run) {
        bench::WireCounts before = proxy.counts();
        auto started = Clock::now();
        action();
        double seconds = std::chrono::duration<double>(Clock::now() - started).count();
        bench::WireCounts after = proxy.counts();
        all.push_back({after.requests - before.requests,
                       after.bytesUp - before.bytesUp + after.bytesDown - before.bytesDown,
                       seconds,
                       true,
                       {}});
    }
    std::vector<double> times;
    for (const auto& figures : all)
        times.push_back(figures.seconds);
    auto faster = [](const Figures& a, const Figures& b) { return a.seconds < b.seconds; };
    std::sort(all.begin(), all.end(), faster);
    Figures chosen = pick == Pick::Fastest ? all.front() : all[all.size() / 2];
    chosen.runs = std::move(times);
    return chosen;
}

// Runs fennick-cli as a process, its output thrown away.
void runCli(const World& w, int connections) {
    std::vector<std::string> args = {w.cli.string(), "--ini", w.share.settingsFile, "--smb-port",
                                     std::to_string(w.proxy->port())};
    if (connections > 0)
        args.insert(args.end(), {"--smb-connections", std::to_string(connections)});
    args.insert(args.end(), {"unit", kLine, kModel, kUnit});
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int failed = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (failed != 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        throw std::runtime_error("fennick-cli unit failed");
}

const std::vector<std::string> kActions = {"tree", "unit list", "one unit", "show unit",
                                           "find", "ageing",    "cli unit"};

constexpr int kCliRuns = 5;

// Every action at one link with `connections` readers (0: as many as the program chooses);
// nothing for an action left out.
std::vector<Figures> actionsAt(const World& w, const LinkCase& link, int connections) {
    const bool slow = link.link.oneWay.count() >= 10000;
    const int runs = link.link.oneWay.count() == 0 ? 3 : 1;
    store::StoreStart start;
    start.settingsFile = w.share.settingsFile;
    start.share.smbPort = std::to_string(w.proxy->port());
    if (connections > 0) start.share.smbConnections = std::to_string(connections);
    auto store = store::openStore(start);
    if (!store) throw std::runtime_error("the share does not open over SMB");
    bench::DelayProxy& proxy = *w.proxy;
    std::vector<Figures> out;
    core::ModelTreeData tree;
    out.push_back(measure(proxy, runs, [&] { tree = core::ModelTree(*store).loadtree(false); }));
    core::UnitList list;
    out.push_back(measure(proxy, runs, [&] { list = core::LoadUnits(*store, kLine, kModel); }));
    auto listed = [&] {
        for (const auto& row : list.rows)
            if (row.unit == kUnit) return row;
        throw std::runtime_error("unit " + kUnit + " is not listed");
    };
    out.push_back(measure(proxy, runs, [&] {
        list = core::LoadUnits(*store, kLine, kModel);
        core::selectUnit(*store, listed());
    }));
    out.push_back(measure(proxy, runs, [&] { core::selectUnit(*store, listed()); }));
    out.push_back(measure(proxy, runs, [&] { core::findUnits(*store, tree.directory, kSearch); }));
    bool ageing = !slow || (connections != 1 && link.link.bitsPerSecond > 0);
    out.push_back(ageing ? measure(proxy, 1, [&] { core::stockAgeing(*store); }) : Figures{});
    store.reset();
    // A whole process from its start varies by a few hundredths of a second from run to run:
    // the median of five stands for it.
    out.push_back(measure(
        proxy, kCliRuns, [&] { runCli(w, connections); }, Pick::Median));
    return out;
}

// Start-up, the tree, a unit list, showing a unit, the list and the unit after a fresh start,
// the ageing: each action's calls over the link, in rounds.
void trace(World& w) {
    bench::ReadTrace calls;
    store::StoreStart start;
    start.settingsFile = w.share.settingsFile;
    start.share.smbPort = std::to_string(w.proxy->port());
    start.decorate = [&](std::unique_ptr<platform::FileSystem> share) {
        return bench::tracedShare(std::move(share), calls);
    };
    auto show = [&](const char* action, const std::function<void()>& run) {
        bench::WireCounts before = w.proxy->counts();
        auto started = Clock::now();
        run();
        double seconds = std::chrono::duration<double>(Clock::now() - started).count();
        bench::WireCounts after = w.proxy->counts();
        std::printf("%s: %.3f s, %lld requests on the wire\n%s\n", action, seconds,
                    static_cast<long long>(after.requests - before.requests),
                    bench::summary(calls.take(), 40).c_str());
        std::fflush(stdout);
    };
    std::unique_ptr<store::Store> store;
    core::ModelTreeData tree;
    core::UnitList list;
    auto listed = [&] {
        for (const auto& row : list.rows)
            if (row.unit == kUnit) return row;
        throw std::runtime_error("unit " + kUnit + " is not listed");
    };
    show("start-up", [&] { store = store::openStore(start); });
    if (!store) throw std::runtime_error("the share does not open over SMB");
    show("tree", [&] { tree = core::ModelTree(*store).loadtree(false); });
    show("unit list", [&] { list = core::LoadUnits(*store, kLine, kModel); });
    show("show unit", [&] { core::selectUnit(*store, listed()); });
    store.reset();
    show("start-up, list, unit", [&] {
        store = store::openStore(start);
        list = core::LoadUnits(*store, kLine, kModel);
        core::selectUnit(*store, listed());
    });
    show("ageing", [&] { core::stockAgeing(*store); });
}

void printFigures(const Figures& f) {
    if (!f.measured) {
        std::printf(" %9s %12s %9s", "-", "-", "-");
        return;
    }
    std::printf(" %9lld %12lld %9.3f", static_cast<long long>(f.requests),
                static_cast<long long>(f.bytes), f.seconds);
}

void table(World& w) {
    std::printf(
        "\nReal SMB: smbd on 127.0.0.1 behind the delay proxy; 200,000-unit share; model %s %s.\n"
        "Requests and bytes crossed the proxy (both ways); time in seconds; ratio: one "
        "connection's time / the pool's.\n\n",
        kLine.c_str(), kModel.c_str());
    std::printf("%-17s %-10s | %9s %12s %9s | %9s %12s %9s | %6s\n", "link", "action", "requests",
                "bytes", "time", "requests", "bytes", "time", "ratio");
    std::printf("%-17s %-10s | %32s | %32s |\n", "", "", "reader pool: 8, slow link 24",
                "one connection");
    for (const auto& link : kLinks) {
        w.proxy->setLink(link.link);
        auto pool = actionsAt(w, link, 0);
        auto one = actionsAt(w, link, 1);
        for (std::size_t i = 0; i < kActions.size(); ++i) {
            std::printf("%-17s %-10s |", link.name, kActions[i].c_str());
            printFigures(pool[i]);
            std::printf(" |");
            printFigures(one[i]);
            if (pool[i].measured && one[i].measured)
                std::printf(" | %6.1f\n", one[i].seconds / pool[i].seconds);
            else
                std::printf(" |\n");
        }
        auto runs = [](const Figures& f) {
            std::string text;
            for (double seconds : f.runs)
                text += " " + std::to_string(seconds).substr(0, 5);
            return text;
        };
        std::printf("%-17s cli unit, each run (median above): pool%s; one connection%s\n", "",
                    runs(pool.back()).c_str(), runs(one.back()).c_str());
        std::fflush(stdout);
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::optional<bench::Link> serve;
    bool tracing = !args.empty() && args[0] == "--trace";
    const char* usage = "usage: smb_bench [--serve|--trace MS [MBIT]] [FOLDER]\n";
    if (!args.empty() && (args[0] == "--serve" || tracing)) {
        if (args.size() < 2) {
            std::cerr << usage;
            return 2;
        }
        serve = bench::Link{std::chrono::microseconds(std::atoi(args[1].c_str()) * 500), 0};
        args.erase(args.begin(), args.begin() + 2);
        if (!args.empty() && args[0].find_first_not_of("0123456789.") == std::string::npos) {
            serve->bitsPerSecond = std::atof(args[0].c_str()) * 1e6;
            args.erase(args.begin());
        }
    }
    if (args.size() > 1 || (!args.empty() && args[0].starts_with('-'))) {
        std::cerr << usage;
        return 2;
    }
    try {
        World w;
        w.share = bench::benchShare(fs::absolute(args.empty() ? "bench-share" : args[0]));
        w.cli = fs::read_symlink("/proc/self/exe").parent_path() / ".." / "cli" / "fennick-cli";
        fs::path shares = w.share.folder / w.share.server;
        test_support::SambaServer server(
            w.share.folder / "samba",
            {{"TARNLNK", shares / "TARNLNK"}, {"CATCON", shares / "CATCON", true}});
        server.start();
        bench::DelayProxy proxy(server.port(), serve ? *serve : bench::Link{});
        w.proxy = &proxy;
        if (tracing) {
            trace(w);
        } else if (serve) {
            std::cout << "smbd on port " << server.port() << ", behind the proxy on port "
                      << proxy.port() << "; settings file " << w.share.settingsFile
                      << "\nfennick-cli --ini " << w.share.settingsFile << " --smb-port "
                      << proxy.port() << " tree\n(ends when standard input ends)" << std::endl;
            std::string line;
            while (std::getline(std::cin, line)) {
            }
        } else {
            table(w);
        }
    } catch (const std::exception& failure) {
        std::cerr << "smb_bench: " << failure.what() << "\n";
        return 1;
    }
    return 0;
}
