// fennick-cli against a Samba server that misbehaves, through the delay proxy: a file shorter
// than its records say, a file cut short on the server between its size check and a read, and a
// server that stalls in the middle of an answer. Reads past the end give blanks over SMB exactly
// as over local folders; a stall ends the command with the connection message within the time
// limit, never with a hang or a partial answer, and the next command is whole again.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "bench/delay_proxy.h"
#include "cli/commands.h"
#include "platform/file_system.h"
#include "platform/local_file_system.h"
#include "platform/smb_file_system.h"
#include "platform/text.h"
#include "samba_server.h"
#include "tests/core/once_failing_sweep.h"
#include "tests/support/read_hook_share.h"

namespace fennick::test_support {
namespace {

namespace fs = std::filesystem;

constexpr const char* kServer = "127.0.0.1";

// The share with `cue` run once, just before the first read of a file whose path ends in `file`
// reaches it: after the file was opened and its size taken.
std::unique_ptr<platform::FileSystem> cueAtFirstRead(std::unique_ptr<platform::FileSystem> share,
                                                     std::string file, std::function<void()> cue) {
    auto fired = std::make_shared<std::atomic<bool>>(false);
    return std::make_unique<ReadHookShare>(
        std::move(share), [file = std::move(file), cue = std::move(cue), fired](
                              const std::string& path, std::int64_t, std::size_t) {
            std::string upper = platform::upperAscii(path);
            if (upper.size() >= file.size() &&
                upper.compare(upper.size() - file.size(), file.size(), file) == 0 &&
                !fired->exchange(true))
                cue();
        });
}

// The sweep's small dealer share, served to guests by one server behind one proxy.
class Misbehaving : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        ::unsetenv("FENNICK_UNC_ROOT");
        std::string pattern = (fs::temp_directory_path() / "fennick-smb-bad-XXXXXX").string();
        root_ = new fs::path(::mkdtemp(pattern.data()));
        ::setenv("KRB5CCNAME", ("FILE:" + (*root_ / "no-ticket").string()).c_str(), 1);
        settings_ = new std::string(writeSweepShare(shares(), kServer));
        server_ = new SambaServer(*root_ / "server", {{"TARNLNK", dealer() / "TARNLNK"},
                                                      {"CATCON", dealer() / "CATCON", true}});
        server_->start();
        proxy_ = new bench::DelayProxy(server_->port(), {});
    }
    static void TearDownTestSuite() {
        delete proxy_;
        delete server_;
        fs::remove_all(*root_);
        delete root_;
        delete settings_;
    }
    static fs::path shares() { return *root_ / "shares"; }
    static fs::path dealer() { return shares() / kServer; }
    static std::vector<std::string> local() {
        return {"--ini", *settings_, "--unc-root", shares().string()};
    }
    static std::vector<std::string> overSmb() {
        return {"--ini", *settings_, "--smb-port", std::to_string(proxy_->port())};
    }
    static CliRun run(std::vector<std::string> args, const std::vector<std::string>& command,
                      const store::ShareDecorator& decorate = {}) {
        args.insert(args.end(), command.begin(), command.end());
        std::ostringstream out, err;
        int status = cli::runCli(args, out, err, decorate);
        return {status, out.str(), err.str()};
    }
    static inline fs::path* root_ = nullptr;
    static inline std::string* settings_ = nullptr;
    static inline SambaServer* server_ = nullptr;
    static inline bench::DelayProxy* proxy_ = nullptr;
};

// The dealer's file under TARNLNK (a path like "DLR001/UNIT.DB"), cut to `keep` of its bytes
// while it lives; put back whole at the end.
class CutFile {
  public:
    CutFile(fs::path path, double keep) : path_(std::move(path)) {
        std::ifstream in(path_, std::ios::binary);
        whole_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        size_ = static_cast<std::uintmax_t>(static_cast<double>(whole_.size()) * keep);
    }
    ~CutFile() { std::ofstream(path_, std::ios::binary) << whole_; }
    void cut() const { fs::resize_file(path_, size_); }

  private:
    fs::path path_;
    std::string whole_;
    std::uintmax_t size_ = 0;
};

enum class When { BeforeTheCommand, AfterItsSizeCheck };

struct ShortCase {
    const char* name;
    std::vector<std::string> command;
    const char* file;  // under TARNLNK, in capitals
    double keep;       // of its bytes
    When when;
};

class ShortFiles : public Misbehaving, public testing::WithParamInterface<ShortCase> {};

// A read that gives fewer bytes than asked: the rest reads as blanks, with no message, over SMB
// exactly as over local folders.
TEST_P(ShortFiles, ReadAsBlanksAsLocalFoldersDo) {
    const ShortCase& c = GetParam();
    const CliRun clean = run(local(), c.command);
    ASSERT_EQ(clean.status, 0) << clean.err;
    const fs::path path = dealer() / "TARNLNK" / c.file;
    auto runCut = [&](const std::vector<std::string>& args) {
        CutFile file(path, c.keep);
        if (c.when == When::BeforeTheCommand) {
            file.cut();
            return run(args, c.command);
        }
        std::string name = "\\" + std::string(c.file);
        std::replace(name.begin(), name.end(), '/', '\\');
        return run(args, c.command, [&](std::unique_ptr<platform::FileSystem> share) {
            return cueAtFirstRead(std::move(share), name, [&] { file.cut(); });
        });
    };
    const CliRun onFolders = runCut(local());
    const CliRun onServer = runCut(overSmb());
    EXPECT_EQ(onFolders.status, 0) << onFolders.err;
    EXPECT_NE(onFolders.out, clean.out) << "the cut changed nothing";
    EXPECT_EQ(onServer.status, onFolders.status) << onServer.err;
    EXPECT_EQ(onServer.out, onFolders.out);
    EXPECT_EQ(onServer.err, onFolders.err);
    EXPECT_EQ(run(overSmb(), c.command).out, clean.out);
}

INSTANTIATE_TEST_SUITE_P(Samba, ShortFiles,
                         testing::Values(ShortCase{"UnitFileShortOfItsRecords",
                                                   {"units", "CTR", "CT100 HST"},
                                                   "DLR001/UNIT.DB",
                                                   0.7,
                                                   When::BeforeTheCommand},
                                         ShortCase{"UnitFileCutAfterItsSizeCheck",
                                                   {"units", "CTR", "CT100 HST"},
                                                   "DLR001/UNIT.DB",
                                                   0.7,
                                                   When::AfterItsSizeCheck},
                                         ShortCase{"LedgerCutAfterItsSizeCheck",
                                                   {"unit", "CTR", "CT100 HST", "C1"},
                                                   "DLR001/UNIT.DB",
                                                   0.9,
                                                   When::AfterItsSizeCheck}),
                         [](const auto& info) { return std::string(info.param.name); });

struct StallCase {
    const char* name;
    std::vector<std::string> command;
};

class Stalls : public Misbehaving, public testing::WithParamInterface<StallCase> {};

// The server stops answering halfway through the bytes a command takes: the command ends with
// the connection message within twice the time limit (the one request, and its one retry on a
// new connection), shows nothing, and once the server answers again the command is whole.
TEST_P(Stalls, InTheMiddleOfARead) {
    const StallCase& c = GetParam();
    const auto limit = std::chrono::milliseconds(platform::SmbOptions{}.timeoutMs);
    const std::int64_t before = proxy_->counts().bytesDown;
    const CliRun clean = run(overSmb(), c.command);
    ASSERT_EQ(clean.status, 0) << clean.err;
    const std::int64_t taken = proxy_->counts().bytesDown - before;
    ASSERT_GT(taken, 0);

    proxy_->stallAfter(proxy_->counts().bytesDown + taken / 2);
    const auto started = std::chrono::steady_clock::now();
    const CliRun stalled = run(overSmb(), c.command);
    const auto took = std::chrono::steady_clock::now() - started;
    proxy_->stall(false);
    EXPECT_EQ(stalled.status, 1);
    EXPECT_EQ(stalled.out, "");
    EXPECT_NE(stalled.err.find("The connection to the server 127.0.0.1 was lost"),
              std::string::npos)
        << stalled.err;
    EXPECT_LT(took, 2 * limit + std::chrono::seconds(2))
        << std::chrono::duration_cast<std::chrono::milliseconds>(took).count() << " ms";
    EXPECT_EQ(run(overSmb(), c.command).out, clean.out);
}

INSTANTIATE_TEST_SUITE_P(Samba, Stalls,
                         testing::Values(StallCase{"UnitList", {"units", "CTR", "CT100 HST"}},
                                         StallCase{"Tree", {"tree"}},
                                         StallCase{"Ageing", {"ageing"}}),
                         [](const auto& info) { return std::string(info.param.name); });

struct WidthCase {
    const char* name;
    int oneWayMs;             // the link's delay each way
    const char* connections;  // --smb-connections; empty: the program chooses
    int widest;               // reads in flight the share offered at most
    int atFirstRead;          // and at its first read: a slow log-on widens it at once
    bool limitsBytes;         // whether it came to limit the bytes on the way
};

class PoolWidth : public Misbehaving, public testing::WithParamInterface<WidthCase> {};

// By default the share keeps 8 reads in flight, and 24 once its log-on or its first reads show a
// slow link; a number given is kept whatever the link. Only a slow link limits the bytes on the
// way.
TEST_P(PoolWidth, FollowsTheLinkUnlessGiven) {
    const WidthCase& c = GetParam();
    proxy_->setLink({std::chrono::milliseconds(c.oneWayMs), 0});
    struct Restore {
        ~Restore() { proxy_->setLink({}); }
    } restore;
    auto widest = std::make_shared<std::atomic<int>>(0);
    auto first = std::make_shared<std::atomic<int>>(0);
    auto limited = std::make_shared<std::atomic<bool>>(false);
    auto decorate = [widest, first, limited](std::unique_ptr<platform::FileSystem> share) {
        auto hooked = std::make_shared<platform::FileSystem*>(nullptr);
        auto out = std::make_unique<ReadHookShare>(
            std::move(share),
            [widest, first, limited, hooked](const std::string&, std::int64_t, std::size_t) {
                platform::ReadShape shape = (*hooked)->readShape();
                int now = shape.inFlight, none = 0;
                first->compare_exchange_strong(none, now);
                for (int seen = *widest; now > seen && !widest->compare_exchange_weak(seen, now);) {
                }
                if (shape.bytesInFlight > 0) *limited = true;
            });
        *hooked = out.get();
        return out;
    };
    std::vector<std::string> args = overSmb();
    if (*c.connections) args.insert(args.end(), {"--smb-connections", c.connections});
    const CliRun listed = run(args, {"units", "CTR", "CT100 HST"}, decorate);
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(*widest, c.widest);
    EXPECT_EQ(*first, c.atFirstRead);
    EXPECT_EQ(*limited, c.limitsBytes);
}

INSTANTIATE_TEST_SUITE_P(Samba, PoolWidth,
                         testing::Values(WidthCase{"FastLink", 0, "", 8, 8, false},
                                         WidthCase{"SlowLink", 10, "", 24, 24, true},
                                         WidthCase{"SlowLinkNumberGiven", 10, "8", 8, 8, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace fennick::test_support
