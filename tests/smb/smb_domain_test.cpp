// fennick-cli and the SMB back end in a Windows-style domain: a throw-away Samba domain
// controller serves the demo share to the domain's user, who logs on with a Kerberos ticket
// (no credentials file, no question) or with a credentials file naming the user as
// "user@REALM" or "DOMAIN\user". A missing or expired ticket falls back to guest, which the
// controller refuses, and the message says what was tried.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "cli/commands.h"
#include "cli_runs.h"
#include "platform/local_file_system.h"
#include "platform/smb_file_system.h"
#include "platform/smb_kerberos.h"
#include "platform/workstation.h"
#include "samba_domain.h"
#include "samba_server.h"
#include "tools/mkdemo/demo_generator.h"
#include "tools/mkdemo/share_builder.h"
#include "tools/mkdemo/staged_file_system.h"
#include "tools/share_writer.h"

namespace fennick {
namespace {

namespace fs = std::filesystem;
using test_support::DomainUser;
using test_support::SambaDomain;

const DomainUser kAlice{"alice", "Al1ce-Pass!x"};
constexpr const char* kWrongPassword = "not-Al1ce-Pass";
constexpr const char* kAddress = "127.0.0.1";

// Set by main before any test runs: why this process has no network of its own.
std::string& privateNetworkProblem() {
    static std::string problem;
    return problem;
}

fs::path privateFile(const fs::path& path, const std::string& text) {
    std::ofstream(path) << text;
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    return path;
}

// The demo share under ROOT/shares/SERVER, served by the domain controller; settings files
// naming the controller by its name and by its address; credentials files; ticket caches
// (a valid one, one whose ticket has expired, and a missing one).
struct World {
    fs::path root, shares, catcon, validCache, expiredCache, noCache;
    std::string byName, byAddress;
    std::string unavailable;  // the tests are skipped
    std::string broken;       // the tests fail
    std::unique_ptr<SambaDomain> domain;

    World() {
        ::unsetenv("FENNICK_UNC_ROOT");
        unavailable = privateNetworkProblem();
        if (unavailable.empty()) unavailable = SambaDomain::unavailable();
        if (!unavailable.empty()) return;
        try {
            build();
        } catch (const std::exception& failure) {
            broken = failure.what();
        }
    }
    void build() {
        std::string pattern = (fs::temp_directory_path() / "fennick-domain-XXXXXX").string();
        root = ::mkdtemp(pattern.data());
        // The controller reads the share as the domain's user, who must reach it.
        fs::permissions(root, fs::perms::owner_all | fs::perms::group_exec |
                                  fs::perms::others_exec | fs::perms::group_read |
                                  fs::perms::others_read);
        shares = root / "shares";
        demo::ShareIdentity identity;
        identity.server = SambaDomain::kServer;
        identity.computerName = platform::hostName();
        demo::StagedFileSystem staged;
        demo::writeDealerShare(staged, demo::generateDemo({.today = demo::kFixedDay}), identity);
        platform::LocalFileSystem local(shares);
        staged.commit(local);
        catcon = shares / SambaDomain::kServer / "CATCON";
        fs::create_directories(catcon);
        fs::permissions(catcon, fs::perms::all);
        byName = (root / "by-name.ini").string();
        std::ofstream(byName) << tools::settingsText(SambaDomain::kServer, identity.directory, "7");
        byAddress = (root / "by-address.ini").string();
        std::ofstream(byAddress) << tools::settingsText(kAddress, identity.directory, "7");
        std::string realm = SambaDomain::kRealm, workgroup = SambaDomain::kDomain;
        privateFile(root / "upn.cred",
                    "username=alice@" + realm + "\npassword=" + kAlice.password + "\n");
        privateFile(root / "backslash.cred",
                    "username=" + workgroup + "\\alice\npassword=" + kAlice.password + "\n");
        privateFile(root / "wrong.cred",
                    "username=alice\ndomain=" + workgroup + "\npassword=" + kWrongPassword + "\n");
        domain = std::make_unique<SambaDomain>(
            root / "domain",
            std::vector<test_support::SambaShare>{
                {"TARNLNK", shares / SambaDomain::kServer / "TARNLNK"}, {"CATCON", catcon, true}},
            std::vector<DomainUser>{kAlice});
        ::setenv("KRB5_CONFIG", domain->krb5Config().c_str(), 1);
        domain->start();
        validCache = root / "valid.cc";
        expiredCache = root / "expired.cc";
        noCache = root / "no.cc";
        if (!domain->kinit(kAlice, expiredCache, "2s") || !domain->kinit(kAlice, validCache))
            throw std::runtime_error("kinit failed:\n" + domain->log());
        useCache(expiredCache);
        while (platform::kerberosTicket().usable())
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    ~World() {
        domain.reset();
        std::error_code ec;
        if (!root.empty()) fs::remove_all(root, ec);
    }
    static void useCache(const fs::path& cache) {
        ::setenv("KRB5CCNAME", ("FILE:" + cache.string()).c_str(), 1);
    }
};

World& world() {
    static World w;
    return w;
}

class Domain : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!world().unavailable.empty()) GTEST_SKIP() << world().unavailable;
        ASSERT_EQ(world().broken, "");
    }
};

using test_support::CliRun;
using test_support::fileBytes;

CliRun cli(std::vector<std::string> options, const std::vector<std::string>& command) {
    return test_support::runCommand(std::move(options), command);
}

std::string result(const std::vector<std::string>& options,
                   const std::vector<std::string>& command) {
    return test_support::commandResult(world().catcon, options, command);
}

class WithTicket : public Domain, public ::testing::WithParamInterface<std::vector<std::string>> {};

// Every read a command makes (the tree, a unit list, the unit and its export) goes over the
// ticket's connection.
TEST_P(WithTicket, TheCommandReadsWhatLocalFoldersGive) {
    const auto& command = GetParam();
    World::useCache(world().validCache);
    std::string smb = result({"--ini", world().byName}, command);
    ASSERT_FALSE(smb.empty());
    EXPECT_EQ(smb,
              result({"--ini", world().byName, "--unc-root", world().shares.string()}, command));
}

INSTANTIATE_TEST_SUITE_P(Kerberos, WithTicket,
                         ::testing::Values(std::vector<std::string>{"tree", "--json"},
                                           std::vector<std::string>{"units", "CTR", "CT100"},
                                           std::vector<std::string>{"export", "CTR", "CT100",
                                                                    "C100031"}));

// Which ticket cache and credentials file a run has, and what the CLI answers.
struct Logon {
    const char* name;
    fs::path World::*cache;
    const char* credentials;  // a file in the test folder, or none
    bool byAddress;
    int status;
    std::string says;
};

class LogonTest : public Domain, public ::testing::WithParamInterface<Logon> {};

TEST_P(LogonTest, ExitStatusAndWhatWasTried) {
    const Logon& l = GetParam();
    World::useCache(world().*l.cache);
    std::vector<std::string> options = {"--ini", l.byAddress ? world().byAddress : world().byName};
    if (*l.credentials)
        options.insert(options.end(),
                       {"--smb-credentials", (world().root / l.credentials).string()});
    CliRun run = cli(options, {"tree"});
    EXPECT_EQ(run.status, l.status) << run.err;
    EXPECT_NE(run.err.find(l.says), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find(kAlice.password), std::string::npos);
}

const std::string kRefused = "refuses access to the share TARNLNK for ";

INSTANTIATE_TEST_SUITE_P(
    Domain, LogonTest,
    ::testing::Values(
        Logon{"TicketAlone", &World::validCache, "", false, 0, ""},
        Logon{"NoTicketTriesGuest", &World::noCache, "", false, 1,
              kRefused + "guest (no Kerberos ticket)."},
        Logon{"ExpiredTicketTriesGuest", &World::expiredCache, "", false, 1,
              kRefused + "guest (the Kerberos ticket of alice@DEALER.TEST has expired)."},
        Logon{"ExpiredTicketAndUserAtRealm", &World::expiredCache, "upn.cred", false, 0, ""},
        Logon{"DomainBackslashUser", &World::noCache, "backslash.cred", false, 0, ""},
        Logon{"CredentialsFileBeforeTicket", &World::validCache, "wrong.cred", false, 1,
              kRefused + "DEALER\\alice."},
        Logon{"TicketNeedsTheServersName", &World::validCache, "", true, 1,
              kRefused + "guest (a Kerberos ticket needs the server's name, not its address)."},
        Logon{"AddressWithCredentialsFile", &World::validCache, "upn.cred", true, 0, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// The window's question: asked with what the server refused, first guest, then the wrong
// password for the user typed; the right one gets in and reads the share.
TEST_F(Domain, RefusedLogonsAreAskedAboutUntilOneGetsIn) {
    World::useCache(world().noCache);
    std::vector<platform::LogonRefusal> asked;
    platform::SmbOptions options;
    options.askCredentials = [&](const platform::LogonRefusal& refused) {
        asked.push_back(refused);
        std::string password = asked.size() == 1 ? kWrongPassword : kAlice.password;
        return std::optional<platform::SmbCredentials>({"alice", "DEALER", password});
    };
    platform::SmbFileSystem smb(options);
    const std::string root = std::string("\\\\") + SambaDomain::kServer + "\\TARNLNK\\";
    ASSERT_TRUE(smb.isDirectory(root)) << smb.lastProblem();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].tried, "guest (no Kerberos ticket)");
    EXPECT_FALSE(asked[0].passwordRefused());
    EXPECT_EQ(asked[1].tried, "DEALER\\alice");
    EXPECT_EQ(asked[1].username + "/" + asked[1].domain, "alice/DEALER");
    EXPECT_EQ(platform::readWholeFile(smb, root + "ttymap", platform::kTerminalMap),
              fileBytes(world().shares / SambaDomain::kServer / "TARNLNK" / "ttymap"));
}

// A ticket is no use to a server outside the realm: the guest share of a stand-alone server
// is read as guest all the same.
TEST_F(Domain, AServerOutsideTheRealmIsReadAsGuestWithATicket) {
    World::useCache(world().validCache);
    test_support::SambaServer guest(
        world().root / "guest-server",
        {{"TARNLNK", world().shares / SambaDomain::kServer / "TARNLNK"}});
    guest.start();
    platform::SmbOptions options;
    options.port = guest.port();
    platform::SmbFileSystem smb(options);
    EXPECT_TRUE(smb.isDirectory("\\\\127.0.0.1\\TARNLNK\\")) << smb.lastProblem();
    EXPECT_TRUE(smb.fileExists("\\\\127.0.0.1\\TARNLNK\\ttymap"));
}

}  // namespace
}  // namespace fennick

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests needs no domain; running them does, before any thread starts.
    if (!::testing::GTEST_FLAG(list_tests))
        fennick::privateNetworkProblem() =
            fennick::test_support::SambaDomain::enterPrivateNetwork();
    return RUN_ALL_TESTS();
}
