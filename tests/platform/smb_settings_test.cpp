// How the SMB back end is set up without a server: credentials files and the URLs that UNC
// paths become.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "platform/share_access.h"
#include "platform/smb_credentials.h"
#include "platform/smb_file_system.h"

namespace fennick::platform {
namespace {

namespace fs = std::filesystem;

struct CredentialsCase {
    const char* name;
    std::string text;
    fs::perms perms;
    std::string account;  // empty: refused
    std::string password;
};

class CredentialsFile : public ::testing::TestWithParam<CredentialsCase> {};

TEST_P(CredentialsFile, ReadOrRefused) {
    const auto& c = GetParam();
    fs::path file = fs::temp_directory_path() / ("fennick-cred-" + std::to_string(::getpid()));
    std::ofstream(file) << c.text;
    fs::permissions(file, c.perms);
    if (c.account.empty()) {
        try {
            readCredentialsFile(file.string());
            ADD_FAILURE() << "accepted";
        } catch (const CredentialsError& refused) {
            EXPECT_NE(std::string(refused.what()).find("others than its owner"), std::string::npos);
            EXPECT_EQ(std::string(refused.what()).find("hunter2"), std::string::npos);
        }
    } else {
        auto credentials = readCredentialsFile(file.string());
        EXPECT_EQ(credentials.account(), c.account);
        EXPECT_EQ(credentials.password(), c.password);
    }
    fs::remove(file);
}

constexpr auto kPrivate = fs::perms::owner_read | fs::perms::owner_write;

INSTANTIATE_TEST_SUITE_P(
    Smb, CredentialsFile,
    ::testing::Values(CredentialsCase{"MountCifsForm",
                                      "username=ann\r\npassword= p=w \r\ndomain=SHOP\r\n", kPrivate,
                                      "SHOP\\ann", " p=w "},
                      CredentialsCase{"ShortKeysAndComments", "# who\nUser = bob\n\npass=x\n",
                                      kPrivate, "bob", "x"},
                      CredentialsCase{"NoUserIsGuest", "password=x\n", kPrivate, "guest", "x"},
                      CredentialsCase{"GroupCanRead", "username=ann\npassword=hunter2\n",
                                      kPrivate | fs::perms::group_read, "", ""},
                      CredentialsCase{"OthersCanRead", "username=ann\npassword=hunter2\n",
                                      kPrivate | fs::perms::others_read, "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// A secret the test never holds in the clear: its bytes masked, and a mapping of its own
// (left out of every memory search) where it is briefly unmasked to be written to a file.
class MaskedSecret {
  public:
    static constexpr char kMask = 0x5A;
    MaskedSecret() {
        std::random_device random;
        const char* alphabet = "abcdefghijklmnopqrstuvwxyz0123456789";
        for (int i = 0; i < 24; ++i)
            masked_ += static_cast<char>(alphabet[random() % 36] ^ kMask);
    }
    // Writes "username=ann\npassword=SECRET\n" to `path`, mode 0600.
    void writeCredentials(const fs::path& path) const {
        const std::string head = "username=ann\npassword=";
        const std::size_t size = head.size() + masked_.size() + 1;
        void* area =
            ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        ASSERT_NE(area, MAP_FAILED);
        char* text = static_cast<char*>(area);
        std::memcpy(text, head.data(), head.size());
        for (std::size_t i = 0; i < masked_.size(); ++i)
            text[head.size() + i] = masked_[i] ^ kMask;
        text[size - 1] = '\n';
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_GE(fd, 0);
        EXPECT_EQ(::write(fd, text, size), static_cast<ssize_t>(size));
        ::close(fd);
        ::munmap(area, size);
    }
    bool equals(std::string_view clear) const {
        if (clear.size() != masked_.size()) return false;
        for (std::size_t i = 0; i < clear.size(); ++i)
            if ((clear[i] ^ kMask) != masked_[i]) return false;
        return true;
    }
    // How often the secret stands in the process's writable memory (heap, stacks, anonymous
    // mappings; the sanitizers' huge shadow mappings are left out).
    int copiesInMemory() const {
        constexpr std::size_t kChunk = 1 << 20;
        char* buffer = static_cast<char*>(::mmap(nullptr, kChunk + 64, PROT_READ | PROT_WRITE,
                                                 MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        std::ifstream maps("/proc/self/maps");
        int mem = ::open("/proc/self/mem", O_RDONLY);
        int copies = 0;
        std::string line;
        while (std::getline(maps, line)) {
            unsigned long from = 0, to = 0;
            char perms[5] = {};
            if (std::sscanf(line.c_str(), "%lx-%lx %4s", &from, &to, perms) != 3) continue;
            if (perms[0] != 'r' || perms[1] != 'w' || to - from > (1ul << 30)) continue;
            if (from == reinterpret_cast<unsigned long>(buffer)) continue;
            for (unsigned long at = from; at < to; at += kChunk) {
                std::size_t want = std::min<unsigned long>(kChunk + masked_.size(), to - at);
                ssize_t got = ::pread(mem, buffer, want, static_cast<off_t>(at));
                if (got <= 0) break;
                std::string_view seen(buffer, static_cast<std::size_t>(got));
                const char first = masked_[0] ^ kMask;
                for (std::size_t i = seen.find(first); i != seen.npos && i < kChunk;
                     i = seen.find(first, i + 1))
                    if (equals(seen.substr(i, masked_.size()))) ++copies;
            }
        }
        ::close(mem);
        ::munmap(buffer, kChunk + 64);
        return copies;
    }

  private:
    std::string masked_;
};

// The password read from a file stands in memory once, in the credentials' buffer, and
// nowhere after they are gone.
TEST(CredentialsFile, ThePasswordIsHeldOnceAndWipedAfterwards) {
    fs::path file = fs::temp_directory_path() / ("fennick-secret-" + std::to_string(::getpid()));
    MaskedSecret secret;
    secret.writeCredentials(file);
    ASSERT_EQ(secret.copiesInMemory(), 0);
    {
        auto credentials = std::make_optional(readCredentialsFile(file.string()));
        EXPECT_TRUE(secret.equals(credentials->password()));
        SmbCredentials copy = *credentials;
        EXPECT_EQ(secret.copiesInMemory(), 1);
        credentials.reset();
        EXPECT_TRUE(secret.equals(copy.password()));
    }
    EXPECT_EQ(secret.copiesInMemory(), 0);
    fs::remove(file);
}

TEST(SmbUrl, EscapesWhatUrlsReadAndRefusesWhatLocalFoldersRefuse) {
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"\\\\FS1\\TARNLNK\\DEALER\\FILE0", "smb://FS1/TARNLNK/DEALER/FILE0"},
        {"//fs1/catcon/unitexport.7", "smb://fs1/catcon/unitexport.7"},
        {"\\\\FS1\\TARNLNK\\a b%c?d#e", "smb://FS1/TARNLNK/a%20b%25c%3Fd%23e"},
        {"\\\\FS1\\TARNLNK\\", "smb://FS1/TARNLNK"},
        {"\\\\FS1", std::nullopt},
        {"\\\\FS1\\TARNLNK\\..\\CATCON\\x", std::nullopt},
        {"\\\\FS1\\TARNLNK\\C:x", std::nullopt},
        {"FS1\\TARNLNK\\x", std::nullopt},
    };
    for (const auto& [unc, url] : cases)
        EXPECT_EQ(SmbFileSystem::url(unc), url) << unc;
}

}  // namespace
}  // namespace fennick::platform

namespace fennick::platform {
namespace {

// --smb-connections, else $FENNICK_SMB_CONNECTIONS, else 8: the reads the share keeps in flight.
struct ConnectionsCase {
    const char* name;
    std::string option, environment;
    int inFlight;  // 0: refused
};

class Connections : public ::testing::TestWithParam<ConnectionsCase> {};

TEST_P(Connections, SizeTheReaderPool) {
    const ConnectionsCase& c = GetParam();
    ::unsetenv("FENNICK_UNC_ROOT");
    if (c.environment.empty())
        ::unsetenv("FENNICK_SMB_CONNECTIONS");
    else
        ::setenv("FENNICK_SMB_CONNECTIONS", c.environment.c_str(), 1);
    ShareOptions options;
    options.smbConnections = c.option;
    if (c.inFlight == 0) {
        EXPECT_THROW(openShare(options), ShareOptionError);
    } else {
        EXPECT_EQ(openShare(options)->readShape().inFlight, c.inFlight);
    }
    ::unsetenv("FENNICK_SMB_CONNECTIONS");
}

INSTANTIATE_TEST_SUITE_P(Share, Connections,
                         ::testing::Values(ConnectionsCase{"Default", "", "", 8},
                                           ConnectionsCase{"Option", "3", "", 3},
                                           ConnectionsCase{"Environment", "", "64", 64},
                                           ConnectionsCase{"OptionBeforeEnvironment", "1", "5", 1},
                                           ConnectionsCase{"None", "0", "", 0},
                                           ConnectionsCase{"TooMany", "65", "", 0},
                                           ConnectionsCase{"NotANumber", "", "eight", 0}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace fennick::platform
