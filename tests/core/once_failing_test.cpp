// One read that fails once, anywhere in a command over local folders, never changes what the
// command shows: it shows the clean answer or ends with a message naming the file.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <sstream>

#include "cli/commands.h"
#include "once_failing_sweep.h"

namespace fennick::test_support {
namespace {

namespace fs = std::filesystem;

TEST(OnceFailingReads, EveryReadOfEveryCommandOverLocalFolders) {
    std::string pattern = (fs::temp_directory_path() / "fennick-once-XXXXXX").string();
    const fs::path root = ::mkdtemp(pattern.data());
    const std::string settings = writeSweepShare(root, "DEMOSRV");
    auto run = [&](const std::vector<std::string>& command, const store::ShareDecorator& wrap) {
        std::vector<std::string> args{"--ini", settings, "--unc-root", root.string()};
        args.insert(args.end(), command.begin(), command.end());
        std::ostringstream out, err;
        int status = cli::runCli(args, out, err, wrap);
        return CliRun{status, out.str(), err.str()};
    };
    SweepFigures figures = sweepOnceFailing(run, 400);
    std::cout << figures.reads << " reads, " << figures.runs << " runs with one failing: "
              << figures.whole << " whole, " << figures.ended << " ended with a message\n";
    EXPECT_GT(figures.ended, 0);
    fs::remove_all(root);
}

}  // namespace
}  // namespace fennick::test_support
