// fennick-cli and the core against a real Samba server on the loopback address: the demo
// share read over SMB gives exactly what the same folders give read locally, guests and
// accounts get in or are refused with the start-up message, a server that stops in the middle
// of an action ends it without a half answer, and a reader process killed in the middle is
// replaced without the action noticing.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <thread>

#include "bench/delay_proxy.h"
#include "cli/commands.h"
#include "cli/output.h"
#include "cli_runs.h"
#include "core/export_file.h"
#include "core/model_tree.h"
#include "core/unit_list.h"
#include "engine/global_connectivity.h"
#include "platform/local_file_system.h"
#include "platform/parallel.h"
#include "platform/smb_file_system.h"
#include "platform/smb_reader_pool.h"
#include "platform/workstation.h"
#include "samba_server.h"
#include "store/read_cache.h"
#include "tests/support/read_hook_share.h"
#include "tools/mkdemo/demo_generator.h"
#include "tools/mkdemo/share_builder.h"
#include "tools/mkdemo/staged_file_system.h"
#include "tools/share_writer.h"

namespace fennick {
namespace {

namespace fs = std::filesystem;
using test_support::SambaAccount;
using test_support::SambaServer;

constexpr const char* kPassword = "Pw-7f3!secret";
constexpr const char* kWrongPassword = "not-the-password";
constexpr const char* kServer = "127.0.0.1";

using test_support::fileBytes;

fs::path privateFile(const fs::path& path, const std::string& text, fs::perms perms) {
    std::ofstream(path) << text;
    fs::permissions(path, perms);
    return path;
}

// The demo share under ROOT/shares/127.0.0.1 (TARNLNK, CATCON), its settings file, and two
// servers over the same folders, started when a test first needs them: one for guests with a
// writable CATCON, one only for the test's account whose CATCON refuses writes.
struct World {
    fs::path root, shares, catcon;
    std::string ini;
    std::unique_ptr<SambaServer> guest, secured;

    World() {
        ::unsetenv("FENNICK_UNC_ROOT");
        std::string pattern = (fs::temp_directory_path() / "fennick-smb-XXXXXX").string();
        root = ::mkdtemp(pattern.data());
        // No Kerberos ticket of the user running the tests reaches these servers.
        ::setenv("KRB5CCNAME", ("FILE:" + (root / "no-ticket").string()).c_str(), 1);
        shares = root / "shares";
        demo::ShareIdentity identity;
        identity.server = kServer;
        identity.computerName = platform::hostName();
        demo::StagedFileSystem staged;
        demo::writeDealerShare(staged, demo::generateDemo({.today = demo::kFixedDay}), identity);
        platform::LocalFileSystem local(shares);
        staged.commit(local);
        ini = (root / "vRMCatalog.ini").string();
        std::ofstream(ini) << tools::settingsText(kServer, identity.directory, "7");
        catcon = shares / kServer / "CATCON";
        privateFile(root / "right.cred",
                    "username=" + SambaServer::user() + "\npassword=" + kPassword + "\n",
                    fs::perms::owner_read | fs::perms::owner_write);
        privateFile(root / "wrong.cred",
                    "username=" + SambaServer::user() + "\npassword=" + kWrongPassword + "\n",
                    fs::perms::owner_read | fs::perms::owner_write);
        privateFile(root / "open.cred", "username=x\npassword=" + std::string(kPassword) + "\n",
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    }
    ~World() {
        guest.reset();
        secured.reset();
        std::error_code ec;
        fs::remove_all(root, ec);
    }

    SambaServer& guestServer() {
        if (!guest) {
            guest = std::make_unique<SambaServer>(
                root / "guest-server",
                std::vector<test_support::SambaShare>{{"TARNLNK", shares / kServer / "TARNLNK"},
                                                      {"CATCON", catcon, true}});
            guest->start();
        }
        return *guest;
    }
    SambaServer& securedServer() {
        if (!secured) {
            secured = std::make_unique<SambaServer>(
                root / "secured-server",
                std::vector<test_support::SambaShare>{{"TARNLNK", shares / kServer / "TARNLNK"},
                                                      {"CATCON", catcon, false}},
                SambaAccount{kPassword});
            secured->start();
        }
        return *secured;
    }
};

World& world() {
    static World w;
    return w;
}

using test_support::CliRun;

std::vector<std::string> withIni(std::vector<std::string> options) {
    options.insert(options.begin(), {"--ini", world().ini});
    return options;
}

CliRun cli(std::vector<std::string> options, const std::vector<std::string>& command) {
    return test_support::runCommand(withIni(std::move(options)), command);
}

std::vector<std::string> local() {
    return {"--unc-root", world().shares.string()};
}

std::vector<std::string> overSmb(std::uint16_t port, const std::string& credentials = {}) {
    std::vector<std::string> options = {"--smb-port", std::to_string(port)};
    if (!credentials.empty())
        options.insert(options.end(), {"--smb-credentials", (world().root / credentials).string()});
    return options;
}

std::string result(const std::vector<std::string>& options,
                   const std::vector<std::string>& command) {
    return test_support::commandResult(world().catcon, withIni(options), command);
}

class SameAsLocal : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(SameAsLocal, OverSmbTheCommandGivesWhatLocalFoldersGive) {
    const auto& command = GetParam();
    auto port = world().guestServer().port();
    std::string smb = result(overSmb(port), command);
    ASSERT_FALSE(smb.empty());
    // The unit report carries the time to the minute: one of two local runs around the SMB
    // run shares its minute.
    std::string before = result(local(), command);
    if (smb != before) {
        EXPECT_EQ(smb, result(local(), command));
    }
}

INSTANTIATE_TEST_SUITE_P(
    DemoShare, SameAsLocal,
    ::testing::Values(std::vector<std::string>{"tree"},
                      std::vector<std::string>{"tree", "--in-stock", "--json"},
                      std::vector<std::string>{"units", "CTR", "CT100", "--json"},
                      std::vector<std::string>{"unit", "CTR", "CT100", "C100031", "--json"},
                      std::vector<std::string>{"report", "CTR", "CT100", "C100031"},
                      std::vector<std::string>{"export", "CTR", "CT100", "C100031"}));

// Who asks which server for what, and what the CLI answers (exit status, words on stderr).
struct Access {
    const char* name;
    bool secured;
    const char* credentials;  // a file in the test folder, or none
    std::vector<std::string> command;
    int status;
    std::string says;
};

class AccessTest : public ::testing::TestWithParam<Access> {};

const std::string kInvalidShare =
    "You are attempting to connect to: \\\\127.0.0.1\\TARNLNK\\ and "
    "this shows to be an invalid network share";

TEST_P(AccessTest, ExitStatusAndMessage) {
    const Access& a = GetParam();
    auto& server = a.secured ? world().securedServer() : world().guestServer();
    fs::remove(world().catcon / "unitexport.7");
    CliRun run = cli(overSmb(server.port(), a.credentials), a.command);
    EXPECT_EQ(run.status, a.status) << run.err;
    EXPECT_NE(run.err.find(a.says), std::string::npos) << run.err;
    for (const char* secret : {kPassword, kWrongPassword}) {
        EXPECT_EQ(run.err.find(secret), std::string::npos);
        EXPECT_EQ(run.out.find(secret), std::string::npos);
    }
    if (a.command[0] == "export" && a.status != 0) {
        EXPECT_FALSE(fs::exists(world().catcon / "unitexport.7"));
    }
}

const std::vector<std::string> kTree = {"tree"};
const std::vector<std::string> kExport = {"export", "CTR", "CT100", "C100031"};

INSTANTIATE_TEST_SUITE_P(
    Samba, AccessTest,
    ::testing::Values(
        Access{"GuestReadsTheGuestShare", false, "", kTree, 0, ""},
        Access{"AccountReadsItsShare", true, "right.cred", kTree, 0, ""},
        Access{"GuestIsRefused", true, "", kTree, 1,
               kInvalidShare + "\nThe server 127.0.0.1 refuses access to the share TARNLNK for "
                               "guest (no Kerberos ticket)."},
        Access{"WrongPasswordIsRefused", true, "wrong.cred", kTree, 1,
               "refuses access to the share TARNLNK for " + SambaServer::user() + "."},
        Access{"CredentialsOthersCanReadAreRefused", true, "open.cred", kTree, 1,
               "can be read or changed by others than its owner"},
        Access{"CatconRefusingWrites", true, "right.cred", kExport, 1,
               "Could not create Export file."}),
    [](const auto& info) { return std::string(info.param.name); });

// A link planted at the export file's name (or at its temporary name), or a stale temporary
// file, is replaced by the export and never written through. The link points at another file
// of CATCON, because the server follows links only inside its share.
struct PlantedLink {
    const char* name;
    const char* at;
    bool link;  // else a stale file
};

class ExportOverSmb : public ::testing::TestWithParam<PlantedLink> {};

TEST_P(ExportOverSmb, ReplacesWhatWasPlantedAtItsName) {
    const PlantedLink& c = GetParam();
    const fs::path catcon = world().catcon, victim = catcon / "victim";
    fs::create_directories(catcon);
    fs::remove(catcon / "unitexport.7");
    fs::remove(catcon / "unitexport.7.tmp");
    std::ofstream(victim) << "keep me";
    if (c.link)
        fs::create_symlink("victim", catcon / c.at);
    else
        std::ofstream(catcon / c.at) << std::string(700, 's');
    CliRun run = cli(overSmb(world().guestServer().port()), kExport);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(fileBytes(victim), "keep me");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(catcon / "unitexport.7")));
    EXPECT_EQ(fileBytes(catcon / "unitexport.7"), core::shortRecord("CTR", "CT100", "C100031"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(catcon / "unitexport.7.tmp")));
    fs::remove(victim);
}

INSTANTIATE_TEST_SUITE_P(
    Samba, ExportOverSmb,
    ::testing::Values(PlantedLink{"LinkAtTheName", "unitexport.7", true},
                      PlantedLink{"LinkAtTheTemporaryName", "unitexport.7.tmp", true},
                      PlantedLink{"StaleTemporaryFile", "unitexport.7.tmp", false}),
    [](const auto& info) { return std::string(info.param.name); });

// The point of sale holding the old file open: the server refuses to remove it, the export
// ends with its message and the old file stays as it was.
TEST(ExportOverSmb, AFileAnotherProgramHoldsOpenEndsWithTheExportMessage) {
    const fs::path target = world().catcon / "unitexport.7";
    fs::create_directories(world().catcon);
    std::ofstream(target) << "old\n";
    platform::SmbOptions options;
    options.port = world().guestServer().port();
    // The other program, whose reader processes keep the file open until it ends.
    auto pointOfSale = std::make_unique<platform::SmbFileSystem>(options);
    auto held = pointOfSale->open("\\\\127.0.0.1\\CATCON\\unitexport.7");
    ASSERT_TRUE(held);
    CliRun run = cli(overSmb(options.port), kExport);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("another program holds it open"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Could not create Export file."), std::string::npos) << run.err;
    EXPECT_EQ(fileBytes(target), "old\n");
    EXPECT_FALSE(fs::exists(world().catcon / "unitexport.7.tmp"));
    held.reset();
    pointOfSale.reset();
    EXPECT_EQ(cli(overSmb(options.port), kExport).status, 0);
}

TEST(SmbServer, NotAnsweringIsSaidWithTheStartUpMessage) {
    CliRun run = cli({"--smb-port", "1"}, kTree);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(kInvalidShare + "\nThe server 127.0.0.1 does not answer on port 1"),
              std::string::npos)
        << run.err;
}

// A server on the loopback address that never accepts: the kernel completes up to `backlog`
// connections that then hear nothing, and drops further attempts.
struct SilentServer {
    int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    explicit SilentServer(int backlog) {
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        EXPECT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), size), 0);
        EXPECT_EQ(::listen(listener, backlog), 0);
        EXPECT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size), 0);
    }
    ~SilentServer() { ::close(listener); }
    std::uint16_t port() const { return ntohs(address.sin_port); }
};

// A port whose listener takes no more connections: the kernel drops further attempts, as a
// firewalled or switched-off server does. The client library alone would wait 20 seconds.
TEST(SmbServer, AServerDroppingConnectionAttemptsIsGivenUpWithinTheTimeOut) {
    SilentServer server(0);
    std::vector<int> waiting;
    for (int i = 0; i < 4; ++i) {
        waiting.push_back(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
        ::connect(waiting.back(), reinterpret_cast<const sockaddr*>(&server.address),
                  sizeof server.address);
    }
    platform::SmbOptions options;
    options.port = server.port();
    options.timeoutMs = 1000;
    platform::SmbFileSystem smb(options);
    auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(smb.isDirectory("\\\\127.0.0.1\\TARNLNK\\"));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(4));
    EXPECT_NE(smb.lastProblem().find("does not answer on port"), std::string::npos);
    for (int fd : waiting)
        ::close(fd);
}

struct SilentCase {
    const char* name;
    bool warmUp;   // the readers are still connecting when the requests come
    int requests;  // at once, against two readers
};

class SilentServerTest : public ::testing::TestWithParam<SilentCase> {};

// A server that takes connections and never answers: each request gives up after two
// time-outs (its first try, and one retry on a new reader), not three, and requests queued
// behind the readers end with the first ones rather than each spending two time-outs more.
TEST_P(SilentServerTest, CostsNoMoreThanTwoTimeOuts) {
    const SilentCase& c = GetParam();
    SilentServer server(16);
    platform::SmbReaderOptions options;
    options.port = server.port();
    options.timeoutMs = 2000;
    options.readers = 2;
    platform::SmbReaderPool pool(options);
    const std::string url = "smb://127.0.0.1/TARNLNK/";
    auto started = std::chrono::steady_clock::now();
    if (c.warmUp) pool.warmUp(url);
    std::atomic<int> failed = 0;
    platform::runInParallel(static_cast<std::size_t>(c.requests), c.requests,
                            [&](std::size_t) { failed += pool.stat(url).error != 0; });
    EXPECT_EQ(failed, c.requests);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(5000));
}

INSTANTIATE_TEST_SUITE_P(SmbServer, SilentServerTest,
                         ::testing::Values(SilentCase{"WhileReadersConnect", true, 1},
                                           SilentCase{"MoreRequestsThanReaders", false, 6},
                                           SilentCase{"MoreRequestsWhileReadersConnect", true, 6}),
                         [](const auto& info) { return std::string(info.param.name); });

// A path read over SMB and through local folders: the same bytes, or missing in both.
struct PathCase {
    const char* name;
    std::string path;
    bool present;
};

class PathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathTest, ReadsAsTheLocalFoldersRead) {
    const PathCase& c = GetParam();
    fs::create_directories(world().catcon);
    std::ofstream(world().catcon / "outside") << "not for dealer data";
    platform::SmbOptions options;
    options.port = world().guestServer().port();
    platform::SmbFileSystem smb(options);
    platform::LocalFileSystem folders(world().shares);
    bool smbOpened = false, localOpened = false;
    std::string overSmb = platform::readWholeFile(smb, c.path, platform::kLinksFile, &smbOpened);
    std::string local =
        platform::readWholeFile(folders, c.path, platform::kLinksFile, &localOpened);
    EXPECT_EQ(smbOpened, c.present);
    EXPECT_EQ(localOpened, c.present);
    EXPECT_EQ(smb.fileExists(c.path), c.present);
    EXPECT_EQ(overSmb, local);
}

INSTANTIATE_TEST_SUITE_P(
    Share, PathTest,
    ::testing::Values(PathCase{"ExactName", "\\\\127.0.0.1\\TARNLNK\\ttymap", true},
                      PathCase{"OtherLetterCase", "\\\\127.0.0.1\\tarnlnk\\dlr001\\Unit.db", true},
                      PathCase{"LinksEntryClimbingOut",
                               "\\\\127.0.0.1\\TARNLNK\\DLR001\\..\\..\\CATCON\\outside", false},
                      PathCase{"DotComponent", "\\\\127.0.0.1\\CATCON\\.\\outside", false},
                      PathCase{"MissingFile", "\\\\127.0.0.1\\TARNLNK\\DLR001\\NOFILE", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SmbServer, AMissingShareIsNamed) {
    platform::SmbOptions options;
    options.port = world().guestServer().port();
    platform::SmbFileSystem smb(options);
    EXPECT_FALSE(smb.isDirectory("\\\\127.0.0.1\\NOSUCH\\"));
    EXPECT_EQ(smb.lastProblem(), "The server 127.0.0.1 has no share NOSUCH.");
    EXPECT_TRUE(smb.isDirectory("\\\\127.0.0.1\\TARNLNK\\"));
    EXPECT_EQ(smb.lastProblem(), "");
}

// Batched reads call one open file from several threads at once; each gets its own bytes.
TEST(SmbServer, ReadsFromSeveralThreadsOnOneFileGetTheirOwnBytes) {
    platform::SmbOptions options;
    options.port = world().guestServer().port();
    platform::SmbFileSystem smb(options);
    const std::string path = "\\\\127.0.0.1\\TARNLNK\\DLR001\\UNIT.DB";
    platform::LocalFileSystem folders(world().shares);
    const std::string whole = platform::readWholeFile(folders, path, platform::kDirectoryFile);
    ASSERT_GT(whole.size(), 64u * 1024);
    auto file = smb.open(path);
    ASSERT_TRUE(file);
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (std::size_t i = 0; i < 40; ++i) {
                std::size_t at =
                    (i * 7919 + static_cast<std::size_t>(t) * 104729) % (whole.size() - 512);
                char block[512];
                if (file->readAt(static_cast<std::int64_t>(at), block, sizeof block) !=
                        sizeof block ||
                    std::string(block, sizeof block) != whole.substr(at, sizeof block))
                    ++wrong;
            }
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(wrong, 0);
}

// Files opened ahead are the files the opens inside get; one they did not take is opened
// afresh afterwards (a file that grew meanwhile shows its new size). A small file's bytes read
// with its opening serve reads inside only: a handle kept open reads the server's bytes after.
TEST(SmbServer, FilesOpenedAheadServeOnlyTheOpensInside) {
    platform::SmbOptions options;
    options.port = world().guestServer().port();
    platform::SmbFileSystem smb(options);
    platform::LocalFileSystem folders(world().shares);
    const std::string dir = "\\\\127.0.0.1\\TARNLNK\\DLR001\\";
    const fs::path grown = world().shares / "127.0.0.1" / "TARNLNK" / "DLR001" / "GROWN";
    std::ofstream(grown, std::ios::binary) << std::string(100, 'a');
    const std::vector<std::string> paths = {dir + "UNIT.DR", dir + "LINE.DB", dir + "NOFILE",
                                            dir + "GROWN"};
    const fs::path kept = grown.parent_path() / "KEPT";
    std::ofstream(kept, std::ios::binary) << "before";
    std::unique_ptr<platform::File> keptOpen;
    auto readKept = [&] {
        std::string bytes(6, '\0');
        bytes.resize(keptOpen->readAt(0, bytes.data(), bytes.size()));
        return bytes;
    };
    smb.withOpenedAhead({paths[0], paths[1], paths[2], paths[3], dir + "KEPT"}, [&] {
        for (const auto& path : {paths[0], paths[1]})
            EXPECT_EQ(platform::readWholeFile(smb, path, platform::kDirectoryFile),
                      platform::readWholeFile(folders, path, platform::kDirectoryFile));
        EXPECT_FALSE(smb.open(paths[2]));
        keptOpen = smb.open(dir + "KEPT");
        ASSERT_TRUE(keptOpen);
        EXPECT_EQ(readKept(), "before");
    });
    std::ofstream(kept, std::ios::binary) << "after!";
    EXPECT_EQ(readKept(), "after!");
    keptOpen.reset();
    fs::remove(kept);
    std::ofstream(grown, std::ios::binary | std::ios::app) << std::string(50, 'b');
    auto file = smb.open(paths[3]);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->length(), 150);
    fs::remove(grown);
}

// An action of the window, as text to compare.
using Action = std::function<std::string(store::Store&)>;

std::string unitList(store::Store& store) {
    std::string text;
    for (const auto& row : core::LoadUnits(store, "CTR", "CT100").rows)
        for (const auto& cell : core::unitCells(row))
            text += cell + "\t";
    return text;
}

std::string modelTree(store::Store& store) {
    return cli::treeJson(core::ModelTree(store).loadtree(false));
}

std::string onLocalFolders(const Action& action) {
    StartupOptions options;
    options.settingsFile = world().ini;
    options.uncRoot = world().shares.string();
    InitializeDataEngine(std::move(options));
    std::string text;
    {
        store::Store store(*mGlobalConnectivity::instance().BusinessBasic, nullptr);
        text = action(store);
    }
    ReleaseDataEngine();
    return text;
}

// What happens in the middle of an action: the server stops (the action ends with the
// connection lost, the next one reconnects), or a reader process is killed (the pool replaces
// it, makes the read once more, and the action gives its whole answer).
// Killing the readers' spawner too means the killed reader's replacement comes from a new one.
enum class Disruption { StopServer, KillReader, KillSpawnerAndReader };

struct DisruptionCase {
    const char* name;
    Action action;
    Disruption disruption;
};

class Disrupted : public ::testing::TestWithParam<DisruptionCase> {};

TEST_P(Disrupted, InTheMiddleOfAnAction) {
    const DisruptionCase& c = GetParam();
    std::string expected = onLocalFolders(c.action);
    ASSERT_GT(expected.size(), 100u);
    auto& server = world().guestServer();
    platform::SmbOptions smb;
    smb.port = server.port();
    auto direct = std::make_unique<platform::SmbFileSystem>(smb);
    platform::SmbReaderPool& pool = direct->readers();
    pid_t killed = 0, spawner = pool.spawnerId();
    ASSERT_GT(spawner, 0);
    auto disrupt = [&] {
        if (c.disruption == Disruption::StopServer) {
            server.stop();
            return;
        }
        if (c.disruption == Disruption::KillSpawnerAndReader) ::kill(spawner, SIGKILL);
        for (pid_t pid : pool.readerIds())
            if (pid > 0 && !killed && ::kill(pid, SIGKILL) == 0) killed = pid;
    };
    // `disrupt` runs once, just before the share's read number `stopAt`.
    std::atomic<std::int64_t> reads = 0, stopAt = -1;
    auto share = std::make_unique<test_support::ReadHookShare>(
        std::move(direct), [&](const std::string&, std::int64_t, std::size_t) {
            if (++reads == stopAt) disrupt();
        });
    StartupOptions options;
    options.settingsFile = world().ini;
    // Reads shaped alike whatever the link measures (gaps worth reading through, files small
    // enough to read whole), so that the second action's middle is where the first one's was.
    auto cache = std::make_unique<store::ReadCache>(
        std::move(share), store::ReadPolicy{.maxGap = 32 * 1024, .wholeFile = 0});
    store::ReadCache* cached = cache.get();
    options.share = std::move(cache);
    InitializeDataEngine(std::move(options));
    auto engine =
        std::make_unique<store::Store>(*mGlobalConnectivity::instance().BusinessBasic, cached);

    std::int64_t before = reads;
    EXPECT_EQ(c.action(*engine), expected);
    EXPECT_GT(reads - before, 6);
    stopAt = reads + (reads - before) / 2;
    if (c.disruption == Disruption::StopServer) {
        EXPECT_THROW(c.action(*engine), platform::ConnectionLost);
        EXPECT_FALSE(server.running());
        server.start();
    } else {
        EXPECT_EQ(c.action(*engine), expected);
        EXPECT_NE(killed, 0);
    }
    EXPECT_EQ(c.action(*engine), expected);
    // A reader killed while idle is found (and replaced) when it is next asked, which the action
    // after may be the first to do.
    auto running = pool.readerIds();
    if (killed) {
        EXPECT_EQ(std::find(running.begin(), running.end(), killed), running.end());
    }
    if (c.disruption == Disruption::KillSpawnerAndReader) {
        EXPECT_NE(pool.spawnerId(), spawner);
        EXPECT_GT(pool.spawnerId(), 0);
    }
    engine.reset();
    ReleaseDataEngine();
}

INSTANTIATE_TEST_SUITE_P(
    Samba, Disrupted,
    ::testing::Values(DisruptionCase{"ServerStopsInAUnitList", unitList, Disruption::StopServer},
                      DisruptionCase{"ServerStopsInATree", modelTree, Disruption::StopServer},
                      DisruptionCase{"ReaderKilledInAUnitList", unitList, Disruption::KillReader},
                      DisruptionCase{"ReaderKilledInATree", modelTree, Disruption::KillReader},
                      DisruptionCase{"SpawnerAndReaderKilledInAUnitList", unitList,
                                     Disruption::KillSpawnerAndReader}),
    [](const auto& info) { return std::string(info.param.name); });

// The window asks for a password when the server refuses: once for each refusal at the share
// check, never once for each reader of the pool, which all log on with the answer.
TEST(SmbServer, APasswordIsAskedOnceForAllReaders) {
    std::vector<platform::LogonRefusal> asked;
    platform::SmbOptions options;
    options.port = world().securedServer().port();
    options.askCredentials = [&](const platform::LogonRefusal& refused) {
        asked.push_back(refused);
        return platform::SmbCredentials(SambaServer::user(), "",
                                        asked.size() == 1 ? kWrongPassword : kPassword);
    };
    platform::SmbFileSystem smb(options);
    ASSERT_TRUE(smb.isDirectory("\\\\127.0.0.1\\TARNLNK\\"));
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_FALSE(asked[0].passwordRefused());
    EXPECT_EQ(asked[1].username, SambaServer::user());

    const std::string path = "\\\\127.0.0.1\\TARNLNK\\DLR001\\UNIT.DB";
    platform::LocalFileSystem folders(world().shares);
    const std::string whole =
        platform::readWholeFile(folders, path, {"unit file", platform::kShareFileLimit});
    auto file = smb.open(path);
    ASSERT_TRUE(file);
    std::atomic<int> wrong{0};
    platform::runInParallel(16, 16, [&](std::size_t i) {
        std::size_t at = i * (whole.size() / 16);
        std::string piece(whole.size() / 16, '\0');
        if (file->readAt(static_cast<std::int64_t>(at), piece.data(), piece.size()) !=
                piece.size() ||
            piece != whole.substr(at, piece.size()))
            ++wrong;
    });
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(asked.size(), 2u);
    for (pid_t pid : smb.readers().readerIds())
        EXPECT_GT(pid, 0);
}

// The requests that reach `server` while `work` runs on a share of it seen through a proxy, with
// `connections` readers.
std::int64_t requestsFor(SambaServer& server, int connections,
                         std::optional<platform::SmbCredentials> user,
                         const std::function<void(platform::SmbFileSystem&)>& work) {
    bench::DelayProxy proxy(server.port(), {});
    platform::SmbOptions options;
    options.port = proxy.port();
    options.connections = connections;
    options.credentials = std::move(user);
    platform::SmbFileSystem smb(options);
    work(smb);
    return proxy.counts().requests;
}

const std::string kShareRoot = "\\\\127.0.0.1\\TARNLNK";

void logOn(platform::SmbFileSystem& smb) {
    EXPECT_EQ(smb.readers().connect("smb://127.0.0.1/TARNLNK").error, 0);
}

// With no account the readers ask for the anonymous session at once: a log-on costs no more
// requests than one with a password, rather than one more for a guest logon the client library
// gives up on after the server's challenge.
TEST(SmbServer, LoggingOnWithNoAccountCostsNoMoreThanWithAPassword) {
    const auto anonymous = requestsFor(world().guestServer(), 1, std::nullopt, logOn);
    EXPECT_GT(anonymous, 0);
    EXPECT_LE(anonymous,
              requestsFor(world().securedServer(), 1,
                          platform::SmbCredentials(SambaServer::user(), "", kPassword), logOn));
}

// A file the program says it will open is opened by a reader that logs on for the share check,
// in place of the share's root, and the open asked for after the check takes that answer: the
// second reader costs a log-on and the file's open (two requests), not one request more.
TEST(SmbServer, AFileToOpenIsOpenedWhileTheReadersLogOn) {
    const std::string file = kShareRoot + "\\ttymap";
    const auto oneLogOn = requestsFor(world().guestServer(), 1, std::nullopt, logOn);
    const auto both = requestsFor(world().guestServer(), 2, std::nullopt, [&](auto& smb) {
        smb.willOpen({file});
        ASSERT_TRUE(smb.isDirectory(kShareRoot));
        EXPECT_TRUE(smb.open(file));
    });
    EXPECT_EQ(both, 2 * oneLogOn + 1);
}

// Whether a process has ended: gone, or a zombie its parent has yet to reap.
bool ended(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return true;
    auto state = line.rfind(") ");
    return state != std::string::npos && line.compare(state + 2, 1, "Z") == 0;
}

// The readers end with the pool, the idle ones by themselves once their sockets close.
TEST(SmbServer, TheReadersEndWithThePool) {
    std::vector<pid_t> readers;
    {
        platform::SmbOptions options;
        options.port = world().guestServer().port();
        options.connections = 3;
        platform::SmbFileSystem smb(options);
        smb.willOpen({kShareRoot + "\\ttymap"});
        ASSERT_TRUE(smb.isDirectory(kShareRoot));
        ASSERT_TRUE(smb.open(kShareRoot + "\\ttymap"));
        readers = smb.readers().readerIds();
    }
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (pid_t pid : readers) {
        ASSERT_GT(pid, 0);
        while (!ended(pid) && std::chrono::steady_clock::now() < giveUp)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_TRUE(ended(pid)) << pid;
    }
}

// fennick-cli forks the spawner as it starts: the pool takes that one, and its readers read.
TEST(SmbServer, APoolTakesTheSpawnerForkedAtTheStart) {
    ASSERT_EQ(std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                            std::filesystem::directory_iterator()),
              1)
        << "forked only while this process has one thread";
    platform::SmbReaderPool::forkSpawner();
    platform::SmbOptions options;
    options.port = world().guestServer().port();
    options.connections = 2;
    platform::SmbFileSystem smb(options);
    const pid_t spawner = smb.readers().spawnerId();
    ASSERT_GT(spawner, 0);
    EXPECT_EQ(std::filesystem::read_symlink("/proc/" + std::to_string(spawner) + "/exe"),
              std::filesystem::read_symlink("/proc/self/exe"));
    auto file = smb.open(kShareRoot + "\\ttymap");
    ASSERT_TRUE(file);
    char first = 0;
    EXPECT_EQ(file->readAt(0, &first, 1), 1u);
}

}  // namespace
}  // namespace fennick
