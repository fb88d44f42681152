#include "commands.h"

#include <filesystem>
#include <optional>
#include <ostream>

#include "command_table.h"
#include "core/cp1252.h"
#include "core/dealer_text.h"
#include "core/export_file.h"
#include "core/failure_text.h"
#include "core/list_csv.h"
#include "core/startup.h"
#include "core/stock_ageing.h"
#include "core/unit_report.h"
#include "output.h"
#include "platform/local_file_system.h"
#include "platform/services.h"
#include "platform/share_access.h"
#include "store/open_store.h"

namespace fennick::cli {

namespace {

// One line on a terminal stream: nothing in it can move the cursor or start an escape
// sequence; the CR LF line ends of the window's message texts stay.
void say(std::ostream& stream, const std::string& text) {
    stream << platform::printable(text, true) << "\n";
}

// Message boxes become lines on the error stream.
class StreamMessages : public platform::MessageSink {
  public:
    explicit StreamMessages(std::ostream& err) : err_(err) { platform::setMessages(this); }
    ~StreamMessages() override { platform::setMessages(nullptr); }
    void show(const std::string& text, const std::string& title,
              platform::MessageIcon icon) override {
        say(err_, (title.empty() ? "" : title + ": ") + text);
        if (icon == platform::MessageIcon::Critical) ++critical;
    }
    // Messages that ended what was being done; a warning (start-up goes on) is not one.
    int critical = 0;

  private:
    std::ostream& err_;
};

platform::ShareOptions shareOptions(const Invocation& inv) {
    platform::ShareOptions options;
    options.uncRoot = inv.uncRoot;
    options.smbPort = inv.smbPort;
    options.smbCredentials = inv.smbCredentials;
    options.smbConnections = inv.smbConnections;
    return options;
}

// Damage met on the way, in the dealer's text.
void report(const std::vector<std::string>& problems, std::ostream& err) {
    for (const auto& problem : problems)
        say(err, "warning: " + core::cp1252ToUtf8(problem));
}

int tree(store::Store& store, const Invocation& inv, std::ostream& out, std::ostream&) {
    auto data = core::ModelTree(store).loadtree(inv.inStock);
    out << (inv.json ? treeJson(data) : treeText(data));
    return kSuccess;
}

int units(store::Store& store, const Invocation& inv, std::ostream& out, std::ostream& err) {
    // The list first: it opens the dealer's files at once, the names' file among them.
    auto list = core::LoadUnits(store, inv.operands[0], inv.operands[1]);
    auto headings = core::unitGridHeadings(core::readUserDefinedNames(store));
    report(list.problems, err);
    out << (inv.json  ? unitsJson(headings, list.rows)
            : inv.csv ? core::unitsCsv(headings, list.rows)
                      : unitsText(headings, list.rows));
    return kSuccess;
}

// The tree build gives the directory the search runs on; the unit lists that say whether each
// match is listed find the unit records the build read.
int find(store::Store& store, const Invocation& inv, std::ostream& out, std::ostream&) {
    auto action = store.action();
    auto tree = core::ModelTree(store).loadtree(false);
    auto matches = core::findUnits(store, tree.directory, inv.operands[0]);
    out << (inv.json ? findJson(matches) : findText(matches));
    return kSuccess;
}

int ageing(store::Store& store, const Invocation& inv, std::ostream& out, std::ostream&) {
    auto figures = core::stockAgeing(store);
    out << (inv.json  ? ageingJson(figures)
            : inv.csv ? core::ageingCsv(figures)
                      : ageingText(figures));
    return kSuccess;
}

// The first listed row whose unit number is the third operand, as the window's grid shows it;
// nothing (with the reason on `err`) when the unit is not listed. A caller that `shows` the unit
// has what showing it reads read with the list, kept for as long as the caller's action lasts.
std::optional<core::UnitRow> listedUnit(store::Store& store, const Invocation& inv,
                                        std::ostream& err, bool shows) {
    auto list =
        core::LoadUnits(store, inv.operands[0], inv.operands[1], core::AllocationCheck::OncePerList,
                        nullptr, shows ? inv.operands[2] : std::string());
    report(list.problems, err);
    const std::string wanted = codec::trun(inv.operands[2]);
    for (auto& row : list.rows)
        if (row.unit == wanted) return std::move(row);
    say(err, "Unit " + wanted + " is not in the unit list of line " + inv.operands[0] + ", model " +
                 inv.operands[1]);
    return std::nullopt;
}

int unit(store::Store& store, const Invocation& inv, std::ostream& out, std::ostream& err) {
    auto action = store.action();
    auto row = listedUnit(store, inv, err, true);
    if (!row) return kFailure;
    auto captions = core::detailCaptions(core::readUserDefinedNames(store));
    auto detail = core::selectUnit(store, *row);
    report(detail.problems, err);
    out << (inv.json ? unitJson(captions, detail) : unitText(captions, detail));
    return kSuccess;
}

int unitReport(store::Store& store, const Invocation& inv, std::ostream& out, std::ostream& err) {
    auto action = store.action();
    auto row = listedUnit(store, inv, err, true);
    if (!row) return kFailure;
    auto headings = core::unitGridHeadings(core::readUserDefinedNames(store));
    auto detail = core::selectUnit(store, *row);
    report(detail.problems, err);
    std::string text =
        core::buildUnitReport(headings, *row, detail.grids, core::reportDateTime(store.now()));
    out << platform::printable(core::cp1252ToUtf8(text), true);
    return kSuccess;
}

// Writes the single-unit export file through the store's share and prints where it landed.
int exportUnit(store::Store& store, const Invocation& inv, std::ostream& out, std::ostream& err) {
    auto row = listedUnit(store, inv, err, false);
    if (!row) return kFailure;
    auto target = core::exportTarget(store.system());
    try {
        core::writeExportFile(store.share(), target, core::singleUnitExport(&*row));
    } catch (const std::exception& failure) {
        say(err, core::exportFailureText(failure));
        return kFailure;
    }
    std::optional<std::filesystem::path> local;
    if (auto root = platform::localShareRoot(shareOptions(inv)))
        local = platform::LocalFileSystem(*root).localPath(target.path);
    say(out, local ? local->string() : target.path);
    return kSuccess;
}

}  // namespace

const std::vector<Command>& commandTable() {
    static const std::vector<Command> table = {
        {"tree",
         {},
         {{"--in-stock", &Invocation::inStock}, {"--json", &Invocation::json}},
         "product lines and their models",
         "loadtree",
         tree},
        {"units",
         {"CODE", "MODEL"},
         {{"--json", &Invocation::json}, {"--csv", &Invocation::csv}},
         "the unit list of one line and model",
         "LoadUnits",
         units},
        {"unit",
         {"CODE", "MODEL", "UNIT"},
         {{"--json", &Invocation::json}},
         "the details of one listed unit",
         "showUnitDetails",
         unit},
        {"report",
         {"CODE", "MODEL", "UNIT"},
         {},
         "the unit report of one listed unit (CR LF lines)",
         "cmdPrint_Click",
         unitReport},
        {"export",
         {"CODE", "MODEL", "UNIT"},
         {},
         "writes the unit's export file, prints its path",
         "cmdAddToInvoice_Click",
         exportUnit},
        {"find",
         {"TEXT"},
         {{"--json", &Invocation::json}},
         "units whose unit or serial number holds TEXT",
         "findUnits",
         find},
        {"ageing",
         {},
         {{"--json", &Invocation::json}, {"--csv", &Invocation::csv}},
         "listed units by days in stock, per line and model",
         "LoadUnits",
         ageing},
    };
    return table;
}

const Command* findCommand(std::string_view name) {
    for (const auto& command : commandTable())
        if (command.name == name) return &command;
    return nullptr;
}

int runCommand(store::Store& store, const Invocation& inv, std::ostream& out, std::ostream& err) {
    const Command* command = findCommand(inv.command);
    if (!command) return kUsageError;
    try {
        return command->run(store, inv, out, err);
    } catch (const std::exception& failure) {
        say(err, core::failureText(failure, std::string(command->procedure)));
        return kFailure;
    }
}

int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const store::ShareDecorator& decorate, bool batching) {
    std::string error;
    auto invocation = parseInvocation(args, error);
    if (!invocation) {
        say(err, "fennick-cli: " + error);
        err << kUsage;
        return kUsageError;
    }
    if (invocation->command == "help") {
        out << kUsage;
        return kSuccess;
    }
    if (invocation->command == "version") {
        out << "fennick-cli " << core::programVersion() << "\n";
        return kSuccess;
    }
    StreamMessages messages(err);
    store::StoreStart start;
    start.settingsFile = invocation->ini;
    start.share = shareOptions(*invocation);
    start.decorate = decorate;
    start.batching = batching;
    auto store = store::openStore(start);
    if (store) return runCommand(*store, *invocation, out, err);
    if (messages.critical == 0 && store::startupError())
        say(err, store::startupError()->description());
    return kFailure;
}

}  // namespace fennick::cli
