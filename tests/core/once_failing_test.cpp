// One read that fails once, anywhere in a command over local folders, never changes what the
// command shows: it shows the clean answer or ends with a message naming the file. Run as the
// program reads (batched, several reads in flight) and with one read at a time, where each
// read the engine asks for can fail on its own.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <iostream>

#include "once_failing_sweep.h"

namespace fennick::test_support {
namespace {

namespace fs = std::filesystem;

struct SweepCase {
    bool batching;
    bool lost;  // the read fails as a lost connection
};

class OnceFailingReads : public testing::TestWithParam<SweepCase> {};

TEST_P(OnceFailingReads, EveryReadOfEveryCommandOverLocalFolders) {
    std::string pattern = (fs::temp_directory_path() / "fennick-once-XXXXXX").string();
    const fs::path root = ::mkdtemp(pattern.data());
    const std::string settings = writeSweepShare(root, "DEMOSRV");
    SweepFigures figures = sweepOnceFailing({"--ini", settings, "--unc-root", root.string()},
                                            GetParam().batching, 400, GetParam().lost);
    std::cout << figures.reads << " reads, " << figures.runs
              << " runs with one failing: " << figures.whole << " whole, " << figures.ended
              << " ended with a message\n";
    EXPECT_GT(figures.ended, 0);
    fs::remove_all(root);
}

INSTANTIATE_TEST_SUITE_P(Batched, OnceFailingReads, testing::Values(SweepCase{true, false}));
INSTANTIATE_TEST_SUITE_P(OneInFlight, OnceFailingReads, testing::Values(SweepCase{false, false}));
INSTANTIATE_TEST_SUITE_P(ConnectionLost, OnceFailingReads, testing::Values(SweepCase{true, true}));

}  // namespace
}  // namespace fennick::test_support
