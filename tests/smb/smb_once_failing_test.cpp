// The once-failing sweep over a real Samba server, logging on with a credentials file: one read
// that fails once (of the settings file, the credentials file or the share) shows the clean
// answer or ends with a message naming the file. Each connection costs a log-on, so each
// command has a spread of its reads failed rather than every one.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <iostream>

#include "samba_server.h"
#include "tests/core/once_failing_sweep.h"

namespace fennick::test_support {
namespace {

namespace fs = std::filesystem;

constexpr const char* kServer = "127.0.0.1";
constexpr std::size_t kRunsPerCommand = 8;

class OnceFailingOverSmb : public testing::TestWithParam<bool> {
  protected:
    static void SetUpTestSuite() {
        ::unsetenv("FENNICK_UNC_ROOT");
        std::string pattern = (fs::temp_directory_path() / "fennick-smb-once-XXXXXX").string();
        root_ = new fs::path(::mkdtemp(pattern.data()));
        ::setenv("KRB5CCNAME", ("FILE:" + (*root_ / "no-ticket").string()).c_str(), 1);
        const fs::path shares = *root_ / "shares";
        settings_ = new std::string(writeSweepShare(shares, kServer));
        const fs::path dealer = shares / kServer;
        server_ =
            new SambaServer(*root_ / "server",
                            {{"TARNLNK", dealer / "TARNLNK"}, {"CATCON", dealer / "CATCON", true}},
                            SambaAccount{"Once-9failing"});
        server_->start();
        const fs::path credentials = *root_ / "account.cred";
        std::ofstream(credentials)
            << "username=" << SambaServer::user() << "\npassword=Once-9failing\n";
        fs::permissions(credentials, fs::perms::owner_read | fs::perms::owner_write);
    }
    static void TearDownTestSuite() {
        delete server_;
        fs::remove_all(*root_);
        delete root_;
        delete settings_;
    }
    static std::vector<std::string> shareArgs() {
        return {"--ini",
                *settings_,
                "--smb-port",
                std::to_string(server_->port()),
                "--smb-credentials",
                (*root_ / "account.cred").string()};
    }
    static inline fs::path* root_ = nullptr;
    static inline std::string* settings_ = nullptr;
    static inline SambaServer* server_ = nullptr;
};

TEST_P(OnceFailingOverSmb, ASpreadOfReadsOfEveryCommand) {
    SweepFigures figures = sweepOnceFailing(shareArgs(), GetParam(), kRunsPerCommand);
    std::cout << figures.reads << " reads, " << figures.runs
              << " runs with one failing: " << figures.whole << " whole, " << figures.ended
              << " ended with a message\n";
    EXPECT_GT(figures.ended, 0);
}

INSTANTIATE_TEST_SUITE_P(Batched, OnceFailingOverSmb, testing::Values(true));
INSTANTIATE_TEST_SUITE_P(OneInFlight, OnceFailingOverSmb, testing::Values(false));

}  // namespace
}  // namespace fennick::test_support
