#include "invocation.h"

#include <map>

#include "platform/share_access.h"

namespace fennick::cli {

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
    "Commands:\n"
    "  tree [--in-stock] [--json]       product lines and their models\n"
    "  units CODE MODEL [--json]        the unit list of one line and model\n"
    "  unit CODE MODEL UNIT [--json]    the details of one listed unit\n"
    "  report CODE MODEL UNIT           the unit report of one listed unit (CR LF lines)\n"
    "  export CODE MODEL UNIT           writes the unit's export file, prints its path\n"
    "\n"
    "Exit status: 0 success, 1 failure (the message is on stderr), 2 usage error.\n";

namespace {

const std::map<std::string, std::size_t> kOperands = {
    {"tree", 0}, {"units", 2}, {"unit", 3}, {"report", 3}, {"export", 3}};

bool hasJsonForm(const std::string& command) {
    return command == "tree" || command == "units" || command == "unit";
}

bool globalOption(const std::vector<std::string>& args, std::size_t& i, Invocation& inv,
                  std::string& error) {
    const std::string& arg = args[i];
    std::string* target = arg == "--ini"               ? &inv.ini
                          : arg == "--unc-root"        ? &inv.uncRoot
                          : arg == "--smb-port"        ? &inv.smbPort
                          : arg == "--smb-credentials" ? &inv.smbCredentials
                                                       : nullptr;
    if (!target) {
        error = "unknown option " + arg;
        return false;
    }
    if (i + 1 >= args.size() || args[i + 1].empty()) {
        error = arg + " needs a value";
        return false;
    }
    *target = args[++i];
    return true;
}

bool commandPart(const std::vector<std::string>& args, std::size_t i, Invocation& inv,
                 std::string& error) {
    for (; i < args.size(); ++i) {
        if (args[i] == "--json" && hasJsonForm(inv.command))
            inv.json = true;
        else if (args[i] == "--in-stock" && inv.command == "tree")
            inv.inStock = true;
        else if (args[i].rfind("--", 0) == 0)
            return error = "unknown option " + args[i] + " for " + inv.command, false;
        else
            inv.operands.push_back(args[i]);
    }
    if (inv.operands.size() != kOperands.at(inv.command))
        return error = inv.command + " takes " + std::to_string(kOperands.at(inv.command)) +
                       " operands",
               false;
    return true;
}

}  // namespace

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
    if (!kOperands.count(inv.command)) {
        error = "unknown command " + inv.command;
        return std::nullopt;
    }
    if (!commandPart(args, i + 1, inv, error)) return std::nullopt;
    return inv;
}

}  // namespace fennick::cli
