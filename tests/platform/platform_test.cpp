#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "platform/local_file_system.h"
#include "platform/profile.h"
#include "platform/services.h"

namespace fennick::platform {
namespace {

namespace fs = std::filesystem;

TEST(Profile, ReadsLikeTheWorkstationDoes) {
    std::string ini =
        "; comment\r\n[Other]\r\nServer=WRONG\r\n[ QUARTO ]\r\n  server =  FS1  \r\n"
        "Directory=\"DEALER\"\r\nEmpty=\r\nLong=" +
        std::string(150, 'x') + "\r\n";
    EXPECT_EQ(readProfileString(ini, "Quarto", "Server"), "FS1");
    EXPECT_EQ(readProfileString(ini, "quarto", "DIRECTORY"), "DEALER");
    EXPECT_EQ(readProfileString(ini, "Quarto", "Empty"), "");
    EXPECT_EQ(readProfileString(ini, "Quarto", "Missing"), "");
    EXPECT_EQ(readProfileString(ini, "Quarto", "Long").size(), 99u);
    EXPECT_EQ(readProfileString(ini, "Nowhere", "Server"), "");
}

class LocalShare : public ::testing::Test {
  protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("fennick-local-" + std::to_string(getpid()));
        fs::create_directories(root / "Fs1" / "tarnlnk" / "Dealer");
        std::ofstream(root / "Fs1" / "tarnlnk" / "Dealer" / "File0") << "0123456789";
        std::ofstream(root / "secret") << "outside";
    }
    void TearDown() override { fs::remove_all(root); }
    fs::path root;
};

TEST_F(LocalShare, UncPathsMatchWithoutRegardToCase) {
    LocalFileSystem exact(root);
    EXPECT_TRUE(exact.isDirectory("\\\\FS1\\TARNLNK\\"));
    EXPECT_TRUE(exact.fileExists("\\\\FS1\\TARNLNK\\DEALER\\FILE0"));
    auto file = exact.open("\\\\fs1\\TARNLNK\\dealer\\file0");
    ASSERT_TRUE(file);
    char buf[4] = {};
    EXPECT_EQ(file->readAt(8, buf, 4), 2u) << "a read past the end returns what there is";
    EXPECT_EQ(std::string(buf, 2), "89");
    EXPECT_EQ(exact.counters().bytesRead, 2);
    EXPECT_FALSE(exact.isDirectory("\\\\FS2\\TARNLNK\\"));
}

TEST_F(LocalShare, PathsThatLeaveTheRootAreMissing) {
    LocalFileSystem share(root / "Fs1");
    EXPECT_FALSE(share.fileExists("\\\\tarnlnk\\..\\..\\secret"));
    EXPECT_FALSE(share.open("\\\\tarnlnk\\.\\..\\secret"));
    EXPECT_FALSE(share.fileExists("/etc/passwd"));
    EXPECT_FALSE(share.fileExists("C:\\secret"));
    EXPECT_FALSE(share.localPath("\\\\..\\secret"));
}

// Opens the file as a user who may only read it: 0 when it opened read-only and read.
int openAsReader(const fs::path& root) {
    LocalFileSystem share(root);
    auto file = share.open("\\\\FS1\\TARNLNK\\DEALER\\FILE0");
    if (!file) return 1;
    if (!file->readOnly()) return 2;
    char first = 0;
    return file->readAt(0, &first, 1) == 1 && first == '0' ? 0 : 3;
}

TEST_F(LocalShare, ReadOnlyFilesStillOpenForReading) {
    fs::permissions(root / "Fs1" / "tarnlnk" / "Dealer" / "File0",
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    if (geteuid() != 0) {
        EXPECT_EQ(openAsReader(root), 0);
        return;
    }
    // Root may write to any file, so the check runs in a child that gives up root.
    fs::permissions(root, fs::perms::all);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(9);
        _exit(openAsReader(root));
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

struct KeptBoxes : MessageSink {
    void show(const std::string& text, const std::string&, MessageIcon) override {
        texts.push_back(text);
    }
    std::vector<std::string> texts;
};

// Work on another thread keeps its messages; the process-wide sink still gets everyone else's.
TEST(ThreadMessages, RedirectOnlyTheThreadThatAsks) {
    KeptBoxes shared, kept;
    setMessages(&shared);
    std::thread worker([&] {
        ThreadMessages redirect(kept);
        messages().show("from the worker", "", MessageIcon::None);
    });
    worker.join();
    messages().show("from the window", "", MessageIcon::None);
    setMessages(nullptr);
    EXPECT_EQ(kept.texts, std::vector<std::string>{"from the worker"});
    EXPECT_EQ(shared.texts, std::vector<std::string>{"from the window"});
}

struct KeptNotices : KeptBoxes, EventLog {
    void write(const std::string& text) override { texts.push_back("log: " + text); }
};

// Work beside a worker holds what it shows and logs; the worker replays it in order through its
// own sinks (not the window's), and nothing of it shows before.
TEST(HeldNotices, ReachTheReplayingThreadsSinksInOrder) {
    KeptNotices shared, worker;
    setMessages(&shared);
    setEventLog(&shared);
    std::thread([&] {
        ThreadMessages redirect(worker);
        HeldNotices held;
        std::thread([&] {
            HeldNotices::Hold hold(held);
            messages().show("first", "", MessageIcon::None);
            eventLog().write("second");
            messages().show("third", "", MessageIcon::None);
        }).join();
        messages().show("own", "", MessageIcon::None);
        held.replay();
        held.replay();
    }).join();
    setMessages(nullptr);
    setEventLog(nullptr);
    EXPECT_EQ(worker.texts, (std::vector<std::string>{"own", "first", "third"}));
    EXPECT_EQ(shared.texts, std::vector<std::string>{"log: second"});
}

}  // namespace
}  // namespace fennick::platform
