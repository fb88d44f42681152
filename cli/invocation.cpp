#include "invocation.h"

#include <algorithm>
#include <array>

#include "command_table.h"
#include "platform/share_access.h"

namespace fennick::cli {

namespace {

constexpr std::size_t kSynopsisWidth = 33;

// "units CODE MODEL [--json]"
std::string synopsis(const Command& command) {
    std::string text(command.name);
    for (auto operand : command.operands)
        text += " " + std::string(operand);
    for (const auto& flag : command.flags)
        text += " [" + std::string(flag.name) + "]";
    return text;
}

std::string commandLines() {
    std::string lines;
    for (const auto& command : commandTable()) {
        std::string line = synopsis(command);
        line.resize(std::max(kSynopsisWidth, line.size() + 1), ' ');
        lines += "  " + line + std::string(command.help) + "\n";
    }
    return lines;
}

struct GlobalOption {
    std::string_view name;
    std::string Invocation::*value;
};
constexpr std::array<GlobalOption, 5> kGlobalOptions = {{
    {"--ini", &Invocation::ini},
    {"--unc-root", &Invocation::uncRoot},
    {"--smb-port", &Invocation::smbPort},
    {"--smb-credentials", &Invocation::smbCredentials},
    {"--smb-connections", &Invocation::smbConnections},
}};

bool globalOption(const std::vector<std::string>& args, std::size_t& i, Invocation& inv,
                  std::string& error) {
    const std::string& arg = args[i];
    auto option = std::find_if(kGlobalOptions.begin(), kGlobalOptions.end(),
                               [&](const GlobalOption& o) { return o.name == arg; });
    if (option == kGlobalOptions.end()) {
        error = "unknown option " + arg;
        return false;
    }
    if (i + 1 >= args.size() || args[i + 1].empty()) {
        error = arg + " needs a value";
        return false;
    }
    inv.*(option->value) = args[++i];
    return true;
}

bool commandPart(const Command& command, const std::vector<std::string>& args, std::size_t i,
                 Invocation& inv, std::string& error) {
    for (; i < args.size(); ++i) {
        auto flag = std::find_if(command.flags.begin(), command.flags.end(),
                                 [&](const Flag& f) { return f.name == args[i]; });
        if (flag != command.flags.end())
            inv.*(flag->set) = true;
        else if (args[i].rfind("--", 0) == 0)
            return error = "unknown option " + args[i] + " for " + inv.command, false;
        else
            inv.operands.push_back(args[i]);
    }
    if (inv.operands.size() != command.operands.size())
        return error =
                   inv.command + " takes " + std::to_string(command.operands.size()) + " operands",
               false;
    if (inv.json && inv.csv) return error = "--json and --csv exclude each other", false;
    if (inv.command == "find" && inv.operands[0].find_first_not_of(" \t") == std::string::npos)
        return error = "find needs a text to search for", false;
    return true;
}

}  // namespace

const std::string kUsage =
    std::string(
        "usage: fennick-cli [OPTION...] COMMAND [OPERAND...] [--json]\n"
        "Prints what the viewer Fennick shows for the dealer share the catalog settings "
        "name.\n"
        "\n"
        "Options (before the command):\n") +
    platform::kShareOptionsHelp +
    "  --help             print this help and exit\n"
    "  --version          print the version and exit\n"
    "\n"
    "Commands:\n" +
    commandLines() +
    "\n"
    "Exit status: 0 success, 1 failure (the message is on stderr), 2 usage error.\n";

std::optional<Invocation> parseInvocation(const std::vector<std::string>& args,
                                          std::string& error) {
    Invocation inv;
    std::size_t i = 0;
    for (; i < args.size() && args[i].rfind("--", 0) == 0; ++i) {
        if (args[i] == "--help" || args[i] == "--version") {
            inv.command = args[i].substr(2);
            return inv;
        }
        if (!globalOption(args, i, inv, error)) return std::nullopt;
    }
    if (i >= args.size()) {
        error = "no command given";
        return std::nullopt;
    }
    inv.command = args[i];
    const Command* command = findCommand(inv.command);
    if (!command) {
        error = "unknown command " + inv.command;
        return std::nullopt;
    }
    if (!commandPart(*command, args, i + 1, inv, error)) return std::nullopt;
    return inv;
}

}  // namespace fennick::cli
