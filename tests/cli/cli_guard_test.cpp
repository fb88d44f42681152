// What other users of the machine or the share can put in fennick-cli's way: a settings file
// in the shared temporary folder that is not the user's own, and a terminal identifier that
// would name a file elsewhere.
#include <gtest/gtest.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "cli_share.h"

namespace fennick::cli {
namespace {

namespace fs = std::filesystem;

std::string fileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The demo share and a temporary folder of its own, named by TMPDIR while the test runs.
class TemporaryFolderShare : public OneUnitShare {
  protected:
    void SetUp() override {
        writeShare("fennick-cli-guard", [](demo::DealerData&, demo::UnitSpec&) {});
        temporary = root_ / "tmp";
        fs::create_directories(temporary);
        const char* before = std::getenv("TMPDIR");
        savedTmpdir = before ? std::optional<std::string>(before) : std::nullopt;
        ::setenv("TMPDIR", temporary.c_str(), 1);
    }
    void TearDown() override {
        if (savedTmpdir)
            ::setenv("TMPDIR", savedTmpdir->c_str(), 1);
        else
            ::unsetenv("TMPDIR");
        OneUnitShare::TearDown();
    }
    // fennick-cli tree with the settings file of the temporary folder.
    int tree() {
        out_.str("");
        err_.str("");
        return runCli({"--unc-root", root_.string(), "tree"}, out_, err_);
    }
    fs::path settings() const { return temporary / "vRMCatalog.ini"; }
    fs::path temporary;
    std::optional<std::string> savedTmpdir;
};

struct PlantedSettings {
    const char* name;
    std::function<void(const fs::path& settings, const fs::path& good)> plant;
    std::string refusal;  // empty: the settings are read
};

class SettingsInTheTemporaryFolder : public TemporaryFolderShare,
                                     public ::testing::WithParamInterface<PlantedSettings> {};

TEST_P(SettingsInTheTemporaryFolder, AreReadOnlyWhenTheyAreTheUsersOwn) {
    const PlantedSettings& c = GetParam();
    c.plant(settings(), ini_);
    const int status = tree();
    if (c.refusal.empty()) {
        EXPECT_EQ(status, kSuccess) << err_.str();
        EXPECT_NE(out_.str().find("COMPACT TRACTORS"), std::string::npos);
        return;
    }
    EXPECT_EQ(status, kFailure);
    EXPECT_EQ(out_.str(), "");
    // The path, canonical as the temporary folder is made, and why.
    EXPECT_NE(err_.str().find("EpcError: The settings file " + fs::canonical(temporary).string() +
                              "/vRMCatalog.ini " + c.refusal),
              std::string::npos)
        << err_.str();
    EXPECT_NE(err_.str().find("It is not used."), std::string::npos) << err_.str();
}

constexpr auto kShared =
    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read;

void copyWith(const fs::path& settings, const fs::path& good, fs::perms perms) {
    fs::copy_file(good, settings);
    fs::permissions(settings, perms);
}

INSTANTIATE_TEST_SUITE_P(
    Cli, SettingsInTheTemporaryFolder,
    ::testing::Values(PlantedSettings{"OwnFile", [](auto& s, auto& g) { copyWith(s, g, kShared); },
                                      ""},
                      PlantedSettings{"Link", [](auto& s, auto& g) { fs::create_symlink(g, s); },
                                      "is a symbolic link."},
                      PlantedSettings{"TooLarge",
                                      [](auto& s, auto& g) {
                                          copyWith(s, g, kShared);
                                          std::ofstream(s, std::ios::app)
                                              << std::string(70000, ';');
                                      },
                                      "is too large to be a settings file"}),
    [](const auto& info) { return std::string(info.param.name); });

// The same link named with --ini is the user's own choice and is read.
TEST_F(TemporaryFolderShare, ALinkTheUserNamesIsRead) {
    fs::create_symlink(ini_, settings());
    EXPECT_EQ(
        runCli({"--ini", settings().string(), "--unc-root", root_.string(), "tree"}, out_, err_),
        kSuccess)
        << err_.str();
}

// A terminal identifier of anything but letters and digits names no export file, and nothing
// is made inside CATCON; browsing goes on as before.
TEST_F(TemporaryFolderShare, ATerminalIdentifierThatIsNoNameIsRefusedForExportsOnly) {
    std::ofstream(ini_) << tools::settingsText("DEMOSRV", "DLR001", "/sub/dir/x");
    const fs::path catcon = root_ / "DEMOSRV" / "CATCON";
    fs::create_directories(catcon);
    EXPECT_EQ(run({"export", "CTR", "CT100", "C1"}), kFailure);
    EXPECT_NE(err_.str().find(" Error 52  The terminal identifier \"/sub/dir/x\" of the settings "
                              "file may hold only letters and digits"),
              std::string::npos)
        << err_.str();
    EXPECT_TRUE(fs::is_empty(catcon));
    EXPECT_EQ(run({"units", "CTR", "CT100"}), kSuccess) << err_.str();
}

// A share file the program reads whole, grown (sparse) to gigabytes, ends the action with a
// message naming it; nothing of its size is allocated.
struct Oversized {
    const char* name;
    const char* file;  // under the share root
    std::vector<std::string> command;
    std::string says;
};

class OversizedShareFile : public TemporaryFolderShare,
                           public ::testing::WithParamInterface<Oversized> {};

TEST_P(OversizedShareFile, EndsTheActionWithAMessage) {
    const Oversized& c = GetParam();
    ASSERT_TRUE(fs::exists(root_ / c.file)) << c.file;
    fs::resize_file(root_ / c.file, std::uintmax_t(3) << 30);
    EXPECT_EQ(run(c.command), kFailure);
    EXPECT_NE(err_.str().find(c.says), std::string::npos) << err_.str();
}

INSTANTIATE_TEST_SUITE_P(
    Share, OversizedShareFile,
    ::testing::Values(
        Oversized{"TerminalMap",
                  "DEMOSRV/TARNLNK/ttymap",
                  {"tree"},
                  "\\\\DEMOSRV\\TARNLNK\\ttymap is too large to be a terminal map (more than "
                  "16777216 bytes)."},
        Oversized{"LinksFile",
                  "DEMOSRV/TARNLNK/LINKSFILE",
                  {"tree"},
                  "LINKSFILE is too large to be a links file"},
        Oversized{"DirectoryFile",
                  "DEMOSRV/TARNLNK/DLR001/UNIT.DR",
                  {"units", "CTR", "CT100"},
                  "UNIT.DR is too large to be a directory file"}),
    [](const auto& info) { return std::string(info.param.name); });

// FILE0 is read a block at a time: grown to gigabytes, it costs the program nothing more.
TEST_F(TemporaryFolderShare, APlainFileReadByBlocksMayBeOfAnySize) {
    const fs::path file0 = root_ / "DEMOSRV/TARNLNK/DLR001/FILE0";
    ASSERT_TRUE(fs::exists(file0));
    fs::resize_file(file0, std::uintmax_t(3) << 30);
    EXPECT_EQ(run({"units", "CTR", "CT100"}), kSuccess) << err_.str();
}

// Another user of the machine runs fennick-cli from a shared sticky folder where the settings
// file may have been left by someone else (as root: the program runs as nobody, the share and
// its settings belong to whoever the case says).
struct OtherUserCase {
    const char* name;
    const char* owner;  // "victim" (nobody), "root" or "attacker" (an unused uid)
    fs::perms perms;
    bool link;  // the attacker's link to the victim's own settings elsewhere
    std::string refusal;
};

class AnotherUser : public TemporaryFolderShare,
                    public ::testing::WithParamInterface<OtherUserCase> {};

TEST_P(AnotherUser, RunsOnlyOnSettingsNobodyElseCouldWrite) {
    if (::geteuid() != 0) GTEST_SKIP() << "running the program as another user needs root";
    if (!fs::exists("/usr/bin/setpriv")) GTEST_SKIP() << "setpriv (util-linux) is not installed";
    const passwd* nobody = ::getpwnam("nobody");
    if (!nobody) GTEST_SKIP() << "the machine has no user nobody";
    const OtherUserCase& c = GetParam();
    constexpr uid_t kAttacker = 4242;

    // The sticky folder, shared like /tmp; the program and the share readable by everyone.
    const fs::path sticky = temporary / "shared";
    fs::create_directories(sticky);
    fs::permissions(sticky, fs::perms::all | fs::perms::sticky_bit);
    fs::permissions(root_, fs::perms::others_exec, fs::perm_options::add);
    for (const auto& entry : fs::recursive_directory_iterator(root_))
        fs::permissions(entry.path(),
                        entry.is_directory() ? fs::perms::others_exec | fs::perms::others_read
                                             : fs::perms::others_read,
                        fs::perm_options::add);
    fs::permissions(sticky, fs::perms::all | fs::perms::sticky_bit);
    const fs::path program = sticky / "fennick-cli";
    fs::copy_file(FENNICK_CLI, program);
    fs::permissions(program, fs::perms::owner_all | fs::perms::group_exec | fs::perms::group_read |
                                 fs::perms::others_exec | fs::perms::others_read);

    const fs::path planted = sticky / "vRMCatalog.ini";
    const uid_t owner = std::string(c.owner) == "victim" ? nobody->pw_uid
                        : std::string(c.owner) == "root" ? 0
                                                         : kAttacker;
    if (c.link) {
        const fs::path own = temporary / "victims.ini";
        fs::copy_file(ini_, own);
        ASSERT_EQ(::chown(own.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
        fs::create_symlink(own, planted);
        ASSERT_EQ(::lchown(planted.c_str(), owner, owner), 0);
    } else {
        fs::copy_file(ini_, planted);
        fs::permissions(planted, c.perms);
        ASSERT_EQ(::chown(planted.c_str(), owner, owner), 0);
    }

    const fs::path out = temporary / "out", err = temporary / "err";
    const std::string command = "/usr/bin/setpriv --reuid=" + std::to_string(nobody->pw_uid) +
                                " --regid=" + std::to_string(nobody->pw_gid) +
                                " --clear-groups /usr/bin/env TMPDIR=" + sticky.string() +
                                " HOME=/nonexistent " + program.string() + " --unc-root " +
                                root_.string() + " tree >" + out.string() + " 2>" + err.string();
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << command;
    if (c.refusal.empty()) {
        EXPECT_EQ(WEXITSTATUS(status), 0) << fileText(err);
        EXPECT_NE(fileText(out).find("COMPACT TRACTORS"), std::string::npos);
    } else {
        EXPECT_EQ(WEXITSTATUS(status), 1);
        EXPECT_EQ(fileText(out), "");
        EXPECT_NE(fileText(err).find("The settings file " + fs::canonical(sticky).string() +
                                     "/vRMCatalog.ini " + c.refusal),
                  std::string::npos)
            << fileText(err);
    }
}

constexpr auto kOwnerWrites = kShared;
constexpr auto kAllWrite = kShared | fs::perms::group_write | fs::perms::others_write;

INSTANTIATE_TEST_SUITE_P(
    Setpriv, AnotherUser,
    ::testing::Values(OtherUserCase{"OwnSettings", "victim", kOwnerWrites, false, ""},
                      OtherUserCase{"RootsSettings", "root", kOwnerWrites, false, ""},
                      OtherUserCase{"PlantedByAnother", "attacker", kOwnerWrites, false,
                                    "belongs to another user."},
                      OtherUserCase{"OwnButAnyoneMayWrite", "victim", kAllWrite, false,
                                    "can be changed by other users."},
                      OtherUserCase{"LinkPlantedByAnother", "attacker", kOwnerWrites, true,
                                    "is a symbolic link."}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace fennick::cli
