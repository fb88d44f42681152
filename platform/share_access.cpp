#include "share_access.h"

#include <cstdlib>

#include "local_file_system.h"
#include "smb_file_system.h"
#include "text.h"

namespace fennick::platform {

const char* const kShareOptionsHelp =
    "  --ini FILE         catalog settings file (default: vRMCatalog.ini in $TMPDIR or /tmp)\n"
    "  --unc-root DIR     local folder holding the server shares (default: $FENNICK_UNC_ROOT;\n"
    "                     without either the shares are read from the server over SMB)\n"
    "  --smb-port N       the server's SMB port (default: $FENNICK_SMB_PORT, else 445)\n"
    "  --smb-credentials FILE  username=, password=, domain= lines, private to the user\n"
    "                     (default: $FENNICK_SMB_CREDENTIALS, else a Kerberos ticket or guest)\n"
    "  --smb-connections N  reads in flight to the server at once, 1 to 64\n"
    "                     (default: $FENNICK_SMB_CONNECTIONS, else 8, and 16 once the\n"
    "                     first reads show round trips of 10 ms or more)\n";

namespace {

std::string optionOrEnvironment(const std::string& given, const char* variable) {
    if (!given.empty()) return given;
    const char* value = std::getenv(variable);
    return value ? value : "";
}

std::uint16_t port(const std::string& text) {
    if (text.empty()) return 445;
    std::optional<std::int32_t> value = wholeNumber(text);
    if (!value || *value < 1 || *value > 65535)
        throw ShareOptionError("The SMB port must be a number from 1 to 65535, not \"" + text +
                               "\".");
    return static_cast<std::uint16_t>(*value);
}

// Reads in flight when neither the option nor the environment says: 8, and three times that on a
// slow link, where every scattered record costs its connection a whole round trip (a fresh list
// at 20 ms took about 1.63 s with 24, 1.77 s with 16, and no less with 32).
constexpr int kConnections = 8, kSlowLinkConnections = 24;

int connections(const std::string& text) {
    if (text.empty()) return kConnections;
    std::optional<std::int32_t> value = wholeNumber(text);
    if (!value || *value < 1 || *value > 64)
        throw ShareOptionError("The number of SMB connections must be from 1 to 64, not \"" + text +
                               "\".");
    return *value;
}

}  // namespace

std::optional<std::filesystem::path> localShareRoot(const ShareOptions& options) {
    std::string root = optionOrEnvironment(options.uncRoot, "FENNICK_UNC_ROOT");
    if (root.empty()) return std::nullopt;
    return std::filesystem::path(root);
}

std::unique_ptr<FileSystem> openShare(const ShareOptions& options) {
    if (auto root = localShareRoot(options)) return std::make_unique<LocalFileSystem>(*root);
    SmbOptions smb;
    smb.port = port(optionOrEnvironment(options.smbPort, "FENNICK_SMB_PORT"));
    std::string connectionsText =
        optionOrEnvironment(options.smbConnections, "FENNICK_SMB_CONNECTIONS");
    smb.connections = connections(connectionsText);
    if (connectionsText.empty()) smb.slowLinkConnections = kSlowLinkConnections;
    std::string file = optionOrEnvironment(options.smbCredentials, "FENNICK_SMB_CREDENTIALS");
    try {
        if (!file.empty()) smb.credentials = readCredentialsFile(file);
    } catch (const CredentialsError& refused) {
        throw ShareOptionError(refused.what());
    }
    smb.askCredentials = options.askCredentials;
    try {
        return std::make_unique<SmbFileSystem>(std::move(smb));
    } catch (const IoError& failure) {
        throw ShareOptionError(failure.what());
    }
}

}  // namespace fennick::platform
