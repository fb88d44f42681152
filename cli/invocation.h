#pragma once
// The command line of fennick-cli: options before the command, then the command, its operands
// and its flags.
//
//   fennick-cli [--ini FILE] [--unc-root DIR] tree [--in-stock] [--json]
//   fennick-cli [--ini FILE] [--unc-root DIR] units CODE MODEL [--json]
//   fennick-cli [--ini FILE] [--unc-root DIR] unit CODE MODEL UNIT [--json]
//   fennick-cli [--ini FILE] [--unc-root DIR] report CODE MODEL UNIT
//   fennick-cli [--ini FILE] [--unc-root DIR] export CODE MODEL UNIT

#include <optional>
#include <string>
#include <vector>

namespace fennick::cli {

struct Invocation {
    std::string ini;
    std::string uncRoot;
    std::string command;
    std::vector<std::string> operands;
    bool json = false;
    bool inStock = false;
};

extern const char* const kUsage;

// The invocation, or nothing with `error` saying what is wrong.
std::optional<Invocation> parseInvocation(const std::vector<std::string>& args, std::string& error);

}  // namespace fennick::cli
