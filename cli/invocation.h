#pragma once
// The command line of fennick-cli: options before the command, then the command, its operands
// and its flags, as the command table (command_table.h) defines them.
//
//   fennick-cli [OPTIONS] COMMAND [OPERAND...] [FLAG...]
//   fennick-cli --help | --version    (the command becomes "help" or "version")
//
// OPTIONS: --ini FILE, --unc-root DIR, --smb-port N, --smb-credentials FILE,
// --smb-connections N.

#include <optional>
#include <string>
#include <vector>

namespace fennick::cli {

struct Invocation {
    std::string ini;
    std::string uncRoot;
    std::string smbPort;
    std::string smbCredentials;
    std::string smbConnections;
    std::string command;
    std::vector<std::string> operands;
    // Flags; each command accepts those its table entry lists.
    bool json = false;
    bool csv = false;
    bool inStock = false;
};

// The text of --help and of a usage error.
extern const std::string kUsage;

// The invocation, or nothing with `error` saying what is wrong.
std::optional<Invocation> parseInvocation(const std::vector<std::string>& args, std::string& error);

}  // namespace fennick::cli
