// Files read whole and hand-off files written: local files checked on the descriptor that
// reads them, size limits met before anything of a file's size is allocated, and a hand-off
// written beside its name and renamed over it, replacing whatever link was planted there.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/local_file.h"
#include "platform/local_file_system.h"

namespace fennick::platform {
namespace {

namespace fs = std::filesystem;

// A fresh folder of the test's own, removed afterwards.
class Folder : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "fennick-guard-XXXXXX").string();
        root = ::mkdtemp(pattern.data());
    }
    void TearDown() override { fs::remove_all(root); }
    fs::path root;
};

void write(const fs::path& path, const std::string& bytes, fs::perms perms) {
    std::ofstream(path, std::ios::binary) << bytes;
    fs::permissions(path, perms);
}

constexpr auto kOwn = fs::perms::owner_read | fs::perms::owner_write;
constexpr auto kShared = kOwn | fs::perms::group_read | fs::perms::others_read;

struct LocalCase {
    const char* name;
    std::function<void(const fs::path&)> make;  // makes the file at the path given
    FileTrust trust;
    std::string refusal;  // empty: read
    bool needsRoot = false;
};

class LocalFileTest : public Folder, public ::testing::WithParamInterface<LocalCase> {};

TEST_P(LocalFileTest, IsReadOnlyWhenItPassesItsChecks) {
    const LocalCase& c = GetParam();
    if (c.needsRoot && ::geteuid() != 0) GTEST_SKIP() << "giving a file away needs root";
    const fs::path path = root / "vRMCatalog.ini";
    c.make(path);
    try {
        WipedBytes bytes = readLocalFile(path.string(), kSettingsFile, c.trust);
        EXPECT_EQ(c.refusal, "") << "read " << bytes.size() << " bytes";
    } catch (const LocalFileError& refused) {
        const std::string why = refused.what();
        EXPECT_NE(c.refusal, "") << why;
        EXPECT_NE(why.find(path.string() + " " + c.refusal), std::string::npos) << why;
    }
}

void plain(const fs::path& p) {
    write(p, "[Quarto]\n", kShared);
}
void linkToPlain(const fs::path& p) {
    plain(p.string() + ".real");
    fs::create_symlink(p.string() + ".real", p);
}

INSTANTIATE_TEST_SUITE_P(
    Checks, LocalFileTest,
    ::testing::Values(
        LocalCase{"OwnFile", plain, FileTrust::OwnedByUserOrRoot, ""},
        LocalCase{"GroupMayWrite", [](auto& p) { write(p, "x", kShared | fs::perms::group_write); },
                  FileTrust::OwnedByUserOrRoot, "can be changed by other users"},
        LocalCase{"OthersMayWrite",
                  [](auto& p) { write(p, "x", kShared | fs::perms::others_write); },
                  FileTrust::OwnedByUserOrRoot, "can be changed by other users"},
        LocalCase{"Link", linkToPlain, FileTrust::OwnedByUserOrRoot, "is a symbolic link"},
        LocalCase{"LinkTheUserNamed", linkToPlain, FileTrust::Named, ""},
        LocalCase{"Fifo", [](auto& p) { ::mkfifo(p.c_str(), 0600); }, FileTrust::Named,
                  "is not a regular file"},
        LocalCase{"Directory", [](auto& p) { fs::create_directory(p); }, FileTrust::Private,
                  "is not a regular file"},
        LocalCase{"AtTheLimit", [](auto& p) { write(p, std::string(kLocalFileLimit, 'x'), kOwn); },
                  FileTrust::Private, ""},
        LocalCase{"OneByteTooLarge",
                  [](auto& p) { write(p, std::string(kLocalFileLimit + 1, 'x'), kOwn); },
                  FileTrust::Named, "is too large to be a settings file"},
        LocalCase{"SparseGigabytes",
                  [](auto& p) {
                      write(p, "", kOwn);
                      fs::resize_file(p, std::uintmax_t(3) << 30);
                  },
                  FileTrust::Private, "is too large to be a settings file"},
        LocalCase{"SecretOthersMayRead", plain, FileTrust::Private,
                  "can be read or changed by others than its owner"},
        LocalCase{"OwnedByAnotherUser",
                  [](auto& p) {
                      plain(p);
                      EXPECT_EQ(::chown(p.c_str(), 4242, 4242), 0);
                  },
                  FileTrust::OwnedByUserOrRoot, "belongs to another user", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WholeFile, ALongerFileIsRefusedWithoutReadingIt) {
    MemoryFileSystem share;
    const WholeFile kTen{"test file", 10};
    share.setFile("\\\\FS1\\TARNLNK\\ten", std::string(10, 'x'));
    share.setFile("\\\\FS1\\TARNLNK\\eleven", std::string(11, 'x'));
    EXPECT_EQ(readWholeFile(share, "\\\\FS1\\TARNLNK\\ten", kTen), std::string(10, 'x'));
    const auto readsBefore = share.counters().reads.value();
    try {
        readWholeFile(share, "\\\\FS1\\TARNLNK\\eleven", kTen);
        ADD_FAILURE() << "read";
    } catch (const IoError& refused) {
        EXPECT_STREQ(refused.what(),
                     "\\\\FS1\\TARNLNK\\eleven is too large to be a test file (more than 10 "
                     "bytes).");
    }
    EXPECT_EQ(share.counters().reads.value(), readsBefore);
}

// What is planted at a name before a hand-off is written there.
enum class Plant { Nothing, StaleFile, LinkOut, DanglingLinkOut };

struct HandOffCase {
    const char* name;
    const char* at;  // the file's own name or its temporary name
    Plant plant;
};

class HandOffTest : public Folder, public ::testing::WithParamInterface<HandOffCase> {};

TEST_P(HandOffTest, IsWrittenBesideAndRenamedOverWhateverHeldTheName) {
    const HandOffCase& c = GetParam();
    fs::create_directories(root / "FS1" / "CATCON");
    const fs::path planted = root / "FS1" / "CATCON" / c.at;
    const fs::path outside = root / "victim";
    if (c.plant == Plant::LinkOut) write(outside, "keep me", kOwn);
    if (c.plant == Plant::StaleFile) write(planted, std::string(700, 's'), kOwn);
    if (c.plant == Plant::LinkOut || c.plant == Plant::DanglingLinkOut)
        fs::create_symlink(outside, planted);

    LocalFileSystem share(root);
    replaceFile(share, "\\\\FS1\\CATCON\\unitexport.7", "AB\n");

    const fs::path target = root / "FS1" / "CATCON" / "unitexport.7";
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(target)));
    std::ifstream in(target, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "AB\n");
    EXPECT_FALSE(fs::exists(fs::symlink_status(root / "FS1" / "CATCON" / "unitexport.7.tmp")));
    if (c.plant == Plant::LinkOut) {
        std::ifstream victim(outside, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(victim), {}), "keep me");
    }
    if (c.plant == Plant::DanglingLinkOut) {
        EXPECT_FALSE(fs::exists(outside));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Local, HandOffTest,
    ::testing::Values(HandOffCase{"New", "unitexport.7", Plant::Nothing},
                      HandOffCase{"OldFile", "unitexport.7", Plant::StaleFile},
                      HandOffCase{"LinkOutAtTheName", "unitexport.7", Plant::LinkOut},
                      HandOffCase{"DanglingLinkAtTheName", "unitexport.7", Plant::DanglingLinkOut},
                      HandOffCase{"StaleTemporaryFile", "unitexport.7.tmp", Plant::StaleFile},
                      HandOffCase{"LinkOutAtTheTemporaryName", "unitexport.7.tmp", Plant::LinkOut},
                      HandOffCase{"DanglingLinkAtTheTemporaryName", "unitexport.7.tmp",
                                  Plant::DanglingLinkOut}),
    [](const auto& info) { return std::string(info.param.name); });

// A name that cannot be replaced (a folder holds it) fails and leaves no temporary file.
TEST_F(Folder, AHandOffThatCannotBeRenamedLeavesNothingBehind) {
    fs::create_directories(root / "FS1" / "CATCON" / "unitexport.7");
    LocalFileSystem share(root);
    EXPECT_THROW(replaceFile(share, "\\\\FS1\\CATCON\\unitexport.7", "AB\n"), IoError);
    EXPECT_TRUE(fs::is_directory(root / "FS1" / "CATCON" / "unitexport.7"));
    EXPECT_FALSE(fs::exists(root / "FS1" / "CATCON" / "unitexport.7.tmp"));
}

}  // namespace
}  // namespace fennick::platform
