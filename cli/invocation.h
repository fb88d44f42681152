#pragma once
// The command line of fennick-cli: options before the command, then the command, its operands
// and its flags.
//
//   fennick-cli [OPTIONS] tree [--in-stock] [--json]
//   fennick-cli [OPTIONS] units CODE MODEL [--json]
//   fennick-cli [OPTIONS] unit CODE MODEL UNIT [--json]
//   fennick-cli [OPTIONS] report CODE MODEL UNIT
//   fennick-cli [OPTIONS] export CODE MODEL UNIT
//   fennick-cli --help | --version    (the command becomes "help" or "version")
//
// OPTIONS: --ini FILE, --unc-root DIR, --smb-port N, --smb-credentials FILE.

#include <optional>
#include <string>
#include <vector>

namespace fennick::cli {

struct Invocation {
    std::string ini;
    std::string uncRoot;
    std::string smbPort;
    std::string smbCredentials;
    std::string command;
    std::vector<std::string> operands;
    bool json = false;
    bool inStock = false;
};

extern const std::string kUsage;

// The invocation, or nothing with `error` saying what is wrong.
std::optional<Invocation> parseInvocation(const std::vector<std::string>& args, std::string& error);

}  // namespace fennick::cli
