// The stock ageing on the large dealer share (200,000 units, 2,000 open tickets of up to 3
// pages, the FILE0 invoice lists full), read from local folders: the one pass against the
// per-model pass (the tree, then every model's unit list), measured in the same run. Each pass
// runs in a child process of its own that opens the store, runs the pass once and ends, so that
// its CPU time (user + system) and its peak memory are its own; the reads and bytes are those
// that reached the share. How long a cancel may wait is the longest time between two places
// where the pass looks whether it was cancelled (its progress steps and its checkpoints), in
// seconds and in reads that reached the share; the longest time between two progress steps is
// how long the window's text may stand still. The answers of the two passes are compared as CSV.
//
//   build/bench/ageing_figures [FOLDER]   (the share is written there unless it is already)

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <string>

#include "bench_share.h"
#include "core/list_csv.h"
#include "core/stock_ageing.h"
#include "store/open_store.h"

namespace {

using namespace fennick;
namespace fs = std::filesystem;

const char* const kSettings = "vRMCatalog.ini";

struct Figures {
    double cpuS = 0, wallS = 0, longestStepS = 0, longestCheckS = 0;
    long long reads = 0, bytes = 0, peakKb = 0, longestCheckReads = 0;
    std::string answer;  // the ageing as CSV
};

// The longest time and the most reads of the share between two cancellation checks.
struct CheckGaps {
    explicit CheckGaps(std::int64_t reads) : lastReads(reads) {}
    void check(std::int64_t reads) {
        auto now = std::chrono::steady_clock::now();
        longest = std::max<std::chrono::duration<double>>(longest, now - last);
        longestReads = std::max(longestReads, reads - lastReads);
        last = now;
        lastReads = reads;
    }
    std::chrono::steady_clock::time_point last = std::chrono::steady_clock::now();
    std::int64_t lastReads;
    std::chrono::duration<double> longest{};
    std::int64_t longestReads = 0;
};

using Pass = std::function<core::StockAgeing(store::Store&, core::WorkProgress*)>;

// In the child: opens the store, runs the pass, writes reads, bytes, wall time and the answer.
[[noreturn]] void runChild(const fs::path& folder, const Pass& pass, int out) {
    int code = 0;
    try {
        store::StoreStart start;
        start.settingsFile = (folder / kSettings).string();
        start.share.uncRoot = folder.string();
        auto opened = store::openStore(start);
        if (!opened) throw std::runtime_error("the store did not open");
        auto& share = opened->cache()->shareCounters();
        auto before = share;
        auto started = std::chrono::steady_clock::now();
        auto lastStep = started;
        std::chrono::duration<double> longest{};
        core::WorkProgress progress([&](const core::ProgressStep&) {
            auto now = std::chrono::steady_clock::now();
            longest = std::max<std::chrono::duration<double>>(longest, now - lastStep);
            lastStep = now;
        });
        CheckGaps gaps(share.reads);
        progress.setWatch([&] { gaps.check(share.reads); });
        std::string answer = core::ageingCsv(pass(*opened, &progress));
        gaps.check(share.reads);
        std::chrono::duration<double> wall = std::chrono::steady_clock::now() - started;
        longest = std::max<std::chrono::duration<double>>(
            longest, std::chrono::steady_clock::now() - lastStep);
        std::string head = std::to_string(share.reads - before.reads) + " " +
                           std::to_string(share.bytesRead - before.bytesRead) + " " +
                           std::to_string(wall.count()) + " " + std::to_string(longest.count()) +
                           " " + std::to_string(gaps.longest.count()) + " " +
                           std::to_string(gaps.longestReads) + "\n";
        std::string all = head + answer;
        for (std::size_t at = 0; at < all.size();) {
            ssize_t n = write(out, all.data() + at, all.size() - at);
            if (n <= 0) throw std::runtime_error("the answer could not be handed back");
            at += static_cast<std::size_t>(n);
        }
    } catch (const std::exception& failure) {
        std::cerr << "ageing_figures: " << failure.what() << "\n";
        code = 1;
    }
    close(out);
    _exit(code);
}

Figures measure(const fs::path& folder, const Pass& pass) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) throw std::runtime_error("no pipe");
    pid_t child = fork();
    if (child < 0) throw std::runtime_error("no child process");
    if (child == 0) {
        close(pipeEnds[0]);
        runChild(folder, pass, pipeEnds[1]);
    }
    close(pipeEnds[1]);
    std::string got;
    char buffer[65536];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        got.append(buffer, static_cast<std::size_t>(n));
    close(pipeEnds[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error("a pass failed");
    Figures f;
    auto seconds = [](timeval t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    f.cpuS = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    f.peakKb = usage.ru_maxrss;
    std::size_t line = got.find('\n');
    if (line == std::string::npos) throw std::runtime_error("a pass gave no figures");
    std::sscanf(got.substr(0, line).c_str(), "%lld %lld %lf %lf %lf %lld", &f.reads, &f.bytes,
                &f.wallS, &f.longestStepS, &f.longestCheckS, &f.longestCheckReads);
    f.answer = got.substr(line + 1);
    return f;
}

void print(const char* name, const Figures& f) {
    std::printf("%-10s %9.2f %9.2f %9lld %13lld %10.1f %12.2f %13.3f %13lld\n", name, f.cpuS,
                f.wallS, f.reads, f.bytes, static_cast<double>(f.peakKb) / 1024.0, f.longestStepS,
                f.longestCheckS, f.longestCheckReads);
}

}  // namespace

int main(int argc, char** argv) {
    fs::path folder = argc > 1 ? argv[1] : "bench-share";
    try {
        folder = bench::benchShare(fs::absolute(folder)).folder;
        Figures one = measure(folder, core::stockAgeing);
        Figures byModel = measure(folder, core::stockAgeingByModel);
        std::printf("Stock ageing on %s, local folders; one run of each pass in its own process.\n",
                    folder.string().c_str());
        std::printf("%-10s %9s %9s %9s %13s %10s %12s %13s %13s\n", "pass", "cpu s", "wall s",
                    "reads", "bytes", "peak MB", "longest step", "check gap s", "check gap rd");
        print("one pass", one);
        print("by model", byModel);
        std::printf("%-10s %9.1f %9.1f %9.1f %13.1f %10.2f\n", "ratio", byModel.cpuS / one.cpuS,
                    byModel.wallS / one.wallS,
                    static_cast<double>(byModel.reads) / static_cast<double>(one.reads),
                    static_cast<double>(byModel.bytes) / static_cast<double>(one.bytes),
                    static_cast<double>(byModel.peakKb) / static_cast<double>(one.peakKb));
        std::printf("answers (CSV, %zu bytes): %s\n", one.answer.size(),
                    one.answer == byModel.answer ? "the same" : "DIFFERENT");
        return one.answer == byModel.answer ? 0 : 1;
    } catch (const std::exception& failure) {
        std::cerr << "ageing_figures: " << failure.what() << "\n";
        return 1;
    }
}
