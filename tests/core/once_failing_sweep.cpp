#include "once_failing_sweep.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <regex>
#include <sstream>

#include "cli/commands.h"
#include "platform/local_file.h"
#include "platform/local_file_system.h"
#include "platform/workstation.h"
#include "tests/support/once_failing_file_system.h"
#include "tools/share_writer.h"

namespace fennick::test_support {

namespace {

demo::UnitSpec unit(std::int32_t line, const std::string& model, const std::string& number) {
    demo::UnitSpec u;
    u.line = line;
    u.model = model;
    u.unitNumber = number;
    u.serial = "SN" + number;
    u.received = Date{std::chrono::year{2025} / 3 / 1};
    return u;
}

demo::InvoiceSpec invoiceNaming(std::int32_t number,
                                const std::vector<std::vector<std::string>>& partsPerPage) {
    demo::InvoiceSpec invoice;
    invoice.number = number;
    for (const auto& parts : partsPerPage) {
        std::vector<demo::LineEntrySpec> page;
        for (const auto& part : parts)
            page.push_back({"PRT", part, "", "PART", 10, 0, 0});
        invoice.pages.push_back(page);
    }
    return invoice;
}

std::string what(const std::vector<std::string>& command) {
    std::string text;
    for (const auto& word : command)
        text += (text.empty() ? "" : " ") + word;
    return text;
}

// The reads to fail: all of them, or an even spread with the first and the last.
// The report prints the minute it was made: runs that straddle a minute differ only there.
std::string withoutTheClock(const std::string& text) {
    static const std::regex stamp(R"(\d{1,2}/\d{1,2}/\d{4} - \d{2}:\d{2})");
    return std::regex_replace(text, stamp, "M/D/YYYY - HH:MM");
}

std::vector<ReadName> chosen(const std::vector<ReadName>& reads, std::size_t most) {
    if (reads.size() <= most || most < 2) return reads;
    std::vector<ReadName> out;
    for (std::size_t i = 0; i < most; ++i)
        out.push_back(reads[i * (reads.size() - 1) / (most - 1)]);
    return out;
}

}  // namespace

demo::DealerData onceFailingDealer() {
    demo::DealerData d;
    d.lines = {{1, "CTR", "COMPACT TRACTORS", 'U', "T"}, {2, "LDR", "LOADERS", 'U', "L"}};
    for (const char* number : {"C1", "C2", "C3"}) {
        demo::UnitSpec u = unit(1, "CT100 HST", number);
        u.ledgerCents = {150000, 2500};
        u.notes = {{1, "", 0, u.received, "Arrived"}, {2, "CAB", 1, u.received, "Cab", 1, 2}};
        d.units.push_back(u);
    }
    d.units.push_back(unit(1, "CT200", "C4"));
    d.units.push_back(unit(2, "L1", "L9"));
    d.openTickets = {invoiceNaming(500001, {{"P1"}, {"C2"}})};
    d.listedInvoices = {invoiceNaming(500002, {{"X9"}})};
    d.listPositions = {1};
    return d;
}

std::string writeSweepShare(const std::filesystem::path& root, const std::string& server) {
    demo::ShareIdentity identity;
    identity.server = server;
    identity.computerName = platform::hostName();
    platform::LocalFileSystem local(root);
    demo::writeDealerShare(local, onceFailingDealer(), identity);
    std::string settings = (root / "vRMCatalog.ini").string();
    std::ofstream(settings) << tools::settingsText(server, identity.directory, "7");
    return settings;
}

std::vector<std::vector<std::string>> sweepCommands() {
    return {{"tree"},
            {"tree", "--in-stock"},
            {"units", "CTR", "CT100 HST"},
            {"unit", "CTR", "CT100 HST", "C1"},
            {"report", "CTR", "CT100 HST", "C3"},
            {"export", "CTR", "CT100 HST", "C1"},
            {"find", "C"},
            {"ageing"}};
}

SweepFigures sweepOnceFailing(const std::vector<std::string>& shareArgs, bool batching,
                              std::size_t maxRunsPerCommand, bool lost) {
    SweepFigures figures;
    auto plan = std::make_shared<ReadFailurePlan>();
    store::ShareDecorator decorate = [plan](std::unique_ptr<platform::FileSystem> share) {
        return onceFailing(std::move(share), plan);
    };
    // The settings file and a credentials file are read from this workstation, not the share.
    platform::setLocalReadFailure([plan](const std::string& path, std::int64_t at, std::size_t n) {
        return plan->take(path, at, n) ? EIO : 0;
    });
    auto run = [&](const std::vector<std::string>& command) {
        std::vector<std::string> args = shareArgs;
        args.insert(args.end(), command.begin(), command.end());
        std::ostringstream out, err;
        int status = cli::runCli(args, out, err, decorate, batching);
        return CliRun{status, withoutTheClock(out.str()), err.str()};
    };
    for (const auto& command : sweepCommands()) {
        SCOPED_TRACE(what(command));
        plan->arm(std::nullopt);
        const CliRun clean = run(command);
        const std::vector<ReadName> reads = plan->reads();
        EXPECT_EQ(clean.status, 0) << clean.err;
        EXPECT_FALSE(clean.out.empty());
        if (clean.status != 0 || clean.out.empty()) continue;
        figures.reads += static_cast<int>(reads.size());
        for (const ReadName& read : chosen(reads, maxRunsPerCommand)) {
            plan->arm(read, lost);
            const CliRun shown = run(command);
            ++figures.runs;
            const std::string failing = read.path + " at " + std::to_string(read.offset) + " (" +
                                        std::to_string(read.length) + " bytes, read " +
                                        std::to_string(read.occurrence + 1) + " of these bytes)";
            EXPECT_TRUE(plan->failed()) << failing << " was not read again";
            if (shown.status == 0 && shown.out == clean.out && shown.err == clean.err) {
                ++figures.whole;
                continue;
            }
            bool ended =
                shown.status == 1 && shown.out.empty() &&
                (lost ? !shown.err.empty() : shown.err.find(read.path) != std::string::npos);
            figures.ended += ended;
            EXPECT_TRUE(ended) << "failing " << failing << " gave status " << shown.status
                               << ", stderr:\n"
                               << shown.err << "stdout:\n"
                               << shown.out << "instead of:\n"
                               << clean.out;
        }
    }
    platform::setLocalReadFailure({});
    return figures;
}

}  // namespace fennick::test_support
