// Reads, bytes and time of the model tree, one unit list and one unit shown, over SMB from a
// Samba server on the loopback address next to the same share read through local folders, in
// one run. The share is the demo share (--units N, default 20,000); the server is the tests'
// (tests/smb), started on a free port and stopped at the end.
//
//   build/bench/smb_figures [--units N] [FOLDER]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>

#include "store/open_store.h"
#include "core/model_tree.h"
#include "core/unit_detail.h"
#include "core/unit_list.h"
#include "platform/local_file_system.h"
#include "platform/share_access.h"
#include "platform/workstation.h"
#include "samba_server.h"
#include "tools/mkdemo/demo_generator.h"
#include "tools/mkdemo/share_builder.h"
#include "tools/mkdemo/staged_file_system.h"
#include "tools/share_writer.h"

namespace {

using namespace fennick;
namespace fs = std::filesystem;

struct Figures {
    std::int64_t opens = 0, reads = 0, bytes = 0;
    double ms = 0;
};

std::unique_ptr<store::Store> opened;  // the store the actions read

store::Store& dealerStore() {
    return *opened;
}

// The action's reads that reached the share and its best time of three runs; the files it
// opened on its first run (the engine keeps them open for the rest of the run).
Figures measure(const std::function<void()>& action) {
    auto& share = dealerStore().cache()->shareCounters();
    Figures f;
    f.ms = 1e300;
    for (int run = 0; run < 3; ++run) {
        auto before = share;
        auto started = std::chrono::steady_clock::now();
        action();
        std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - started;
        f.ms = std::min(f.ms, took.count());
        if (run == 0) f.opens = share.opens - before.opens;  // later runs find them open
        f.reads = share.reads - before.reads;
        f.bytes = share.bytesRead - before.bytesRead;
    }
    return f;
}

struct Row {
    const char* action;
    Figures local, smb;
};

std::array<Figures, 3> figures(const std::string& ini, const platform::ShareOptions& share) {
    opened = store::openStore({ini, share});
    if (!opened) throw std::runtime_error("no store");
    std::array<Figures, 3> out;
    out[0] = measure([] { core::ModelTree(dealerStore()).loadtree(false); });
    core::UnitList list;
    out[1] = measure([&] { list = core::LoadUnits(dealerStore(), "CTR", "CT100"); });
    if (list.rows.empty()) throw std::runtime_error("model CTR CT100 lists no units");
    out[2] = measure([&] { core::selectUnit(dealerStore(), list.rows.front()); });
    opened.reset();
    return out;
}

void print(const char* action, const Figures& local, const Figures& smb) {
    std::printf("%-10s %8lld %8lld %11lld %9.2f | %8lld %8lld %11lld %9.2f | %6.1f\n", action,
                static_cast<long long>(local.opens), static_cast<long long>(local.reads),
                static_cast<long long>(local.bytes), local.ms, static_cast<long long>(smb.opens),
                static_cast<long long>(smb.reads), static_cast<long long>(smb.bytes), smb.ms,
                local.ms > 0 ? smb.ms / local.ms : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
    demo::DemoOptions demoOptions;
    demoOptions.today = demo::kFixedDay;
    demoOptions.units = 20000;
    fs::path folder = fs::temp_directory_path() / "fennick-smb-figures";
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--units" && i + 1 < argc)
            demoOptions.units = std::atoi(argv[++i]);
        else
            folder = arg;
    }
    try {
        fs::remove_all(folder);
        fs::path shares = folder / "shares";
        demo::ShareIdentity identity;
        identity.server = "127.0.0.1";
        identity.computerName = platform::hostName();
        demo::StagedFileSystem staged;
        demo::writeDealerShare(staged, demo::generateDemo(demoOptions), identity);
        platform::LocalFileSystem local(shares);
        staged.commit(local);
        std::string ini = (folder / "vRMCatalog.ini").string();
        std::ofstream(ini) << tools::settingsText(identity.server, identity.directory, "7");

        test_support::SambaServer server(folder / "server",
                                         {{"TARNLNK", shares / identity.server / "TARNLNK"},
                                          {"CATCON", shares / identity.server / "CATCON", true}});
        server.start();
        platform::ShareOptions localOptions, smbOptions;
        localOptions.uncRoot = shares.string();
        smbOptions.smbPort = std::to_string(server.port());
        auto localFigures = figures(ini, localOptions);
        auto smbFigures = figures(ini, smbOptions);
        server.stop();

        std::printf("Demo share of %d units; model CTR CT100; best of 3 runs each.\n",
                    demoOptions.units);
        std::printf("%-10s %8s %8s %11s %9s | %8s %8s %11s %9s | %6s\n", "action", "opens", "reads",
                    "bytes", "ms", "opens", "reads", "bytes", "ms", "ratio");
        std::printf("%-10s %39s | %39s | %s\n", "", "local folders", "SMB, loopback Samba",
                    "SMB/local time");
        const char* actions[] = {"tree", "unit list", "one unit"};
        for (int i = 0; i < 3; ++i)
            print(actions[i], localFigures[i], smbFigures[i]);
        fs::remove_all(folder);
    } catch (const std::exception& failure) {
        std::cerr << "smb_figures: " << failure.what() << "\n";
        return 1;
    }
    return 0;
}
