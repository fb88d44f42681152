#pragma once
// The once-failing sweep: fennick-cli's commands (each starting up as the programs do: the
// settings file, the share check, the terminal map, the links file) run first cleanly, listing
// every read that reaches the share, then once per read with exactly that read failing once.
// Each such run must give the clean run's output byte for byte, or end (exit status 1, nothing
// on stdout) with a message that names the file whose read failed.

#include <filesystem>
#include <string>
#include <vector>

#include "store/open_store.h"
#include "tools/mkdemo/dealer_data.h"
#include "tools/mkdemo/share_builder.h"

namespace fennick::test_support {

// A small dealer: two unit lines, units with notes and sub-ledger postings, an open ticket of
// two pages whose second page names unit C2, and a listed invoice.
demo::DealerData onceFailingDealer();

// Writes the dealer's share below `root` (ROOT/SERVER/TARNLNK...) as this workstation sees it,
// and its settings file; answers the settings file's path.
std::string writeSweepShare(const std::filesystem::path& root, const std::string& server);

struct CliRun {
    int status = 0;
    std::string out, err;
};

// The commands of the sweep: both trees, the unit list, details, report, export, find, ageing.
std::vector<std::vector<std::string>> sweepCommands();

struct SweepFigures {
    int reads = 0;  // reads the clean runs made
    int runs = 0;   // runs with one read failing
    int whole = 0;  // gave the clean output
    int ended = 0;  // ended with a message naming the file
};

// Sweeps every command, run by fennick-cli in-process with `shareArgs` (--ini and the share
// options) before it; `batching` false runs with one read in flight, each read as the engine
// asks. A command whose clean run makes more than `maxRunsPerCommand` reads has an evenly
// spread choice of them failed, always its first and last. Failures are reported through gtest.
// With `lost`, the read fails as a lost connection: the run must end with a message (which need
// not name the file), start-up's reads included.
SweepFigures sweepOnceFailing(const std::vector<std::string>& shareArgs, bool batching,
                              std::size_t maxRunsPerCommand, bool lost = false);

}  // namespace fennick::test_support
