#pragma once
// How the programs reach the dealer share, chosen once from their options and environment:
// local folders with --unc-root DIR or $FENNICK_UNC_ROOT (a mounted or copied share, and the
// tests), otherwise the file server itself over SMB on --smb-port / $FENNICK_SMB_PORT (445)
// as --smb-credentials / $FENNICK_SMB_CREDENTIALS names, else a Kerberos ticket, else guest,
// with --smb-connections / $FENNICK_SMB_CONNECTIONS (8) reads in flight at once.

#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "file_system.h"
#include "smb_credentials.h"

namespace fennick::platform {

struct ShareOptions {
    std::string uncRoot;         // empty: $FENNICK_UNC_ROOT
    std::string smbPort;         // empty: $FENNICK_SMB_PORT, else 445
    std::string smbCredentials;  // empty: $FENNICK_SMB_CREDENTIALS, else none
    std::string smbConnections;  // empty: $FENNICK_SMB_CONNECTIONS, else 8
    // The window's question for a user and password when the server refuses; the CLI has none.
    AskCredentials askCredentials;
};

// Options that cannot be used (a port that is no port, a credentials file that is refused,
// a number of connections out of range).
class ShareOptionError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The help lines of the options both programs take for reaching the share (--ini and above).
extern const char* const kShareOptionsHelp;

// The folder that stands for the servers when the share is local folders; nothing for SMB.
std::optional<std::filesystem::path> localShareRoot(const ShareOptions& options);

// The file system of the share. Throws ShareOptionError.
std::unique_ptr<FileSystem> openShare(const ShareOptions& options);

}  // namespace fennick::platform
