// How the SMB back end is set up without a server: credentials files and the URLs that UNC
// paths become.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

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
        EXPECT_EQ(credentials.password, c.password);
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
