#pragma once
// The commands of fennick-cli, one table entry each: name, operands, flags, help line, the
// window procedure its failures are named after, and the handler. The usage text, --help,
// parsing and dispatch are all built from this table; a new command is one more entry.

#include <iosfwd>
#include <string_view>
#include <vector>

#include "invocation.h"
#include "store/store.h"

namespace fennick::cli {

// A flag after the command and the switch of the invocation it sets.
struct Flag {
    std::string_view name;
    bool Invocation::*set;
};

using Handler = int (*)(store::Store& store, const Invocation& invocation, std::ostream& out,
                        std::ostream& err);

struct Command {
    std::string_view name;
    std::vector<std::string_view> operands;  // their names in the usage text
    std::vector<Flag> flags;
    std::string_view help;
    std::string_view procedure;  // the failure message ends " in larkmoor." + this
    Handler run;
};

const std::vector<Command>& commandTable();
// The entry named `name`, or nullptr.
const Command* findCommand(std::string_view name);

}  // namespace fennick::cli
