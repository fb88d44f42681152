// mkdemo: writes the demo dealer share into a folder that then serves as the UNC root
// (FOLDER/SERVER/TARNLNK/..., FOLDER/SERVER/CATCON), plus FOLDER/vRMCatalog.ini naming it.

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "demo_generator.h"
#include "platform/local_file_system.h"
#include "platform/text.h"
#include "platform/workstation.h"
#include "share_builder.h"
#include "staged_file_system.h"
#include "tools/share_writer.h"

namespace {

using namespace fennick;

constexpr const char* kUsage =
    "usage: fennick-mkdemo [--units N] [--models N] [--tickets N] [--listed N] [--max-pages N]\n"
    "                      [--server NAME] [--directory NAME] [--terminal N]\n"
    "                      [--today YYYY-MM-DD] FOLDER\n"
    "The share is dated from today, or from the day --today gives (the same day gives the same\n"
    "share).\n";

struct Arguments {
    demo::DemoOptions options;
    demo::ShareIdentity identity;
    std::string folder;
};

// Years the dealer files' day numbers hold with room for the demo's oldest stock.
constexpr int kFirstYear = 1980, kLastYear = 2100;

// A day written YYYY-MM-DD.
bool day(const std::string& text, Date& out) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    auto part = [&](std::size_t at, std::size_t length) {
        const std::string digits = text.substr(at, length);
        if (digits.find_first_not_of("0123456789") != std::string::npos) return -1;
        return platform::wholeNumber(digits).value_or(-1);
    };
    const int year = part(0, 4), month = part(5, 2), dayOfMonth = part(8, 2);
    if (year < kFirstYear || year > kLastYear || !codec::validDate(year, month, dayOfMonth))
        return false;
    out = Date{std::chrono::year{year} / month / dayOfMonth};
    return true;
}

Date today() {
    const platform::LocalDateTime now = platform::localNow();
    return Date{std::chrono::year{now.year} / now.month / now.day};
}

bool number(const std::string& text, std::int32_t& out) {
    std::optional<std::int32_t> value = platform::wholeNumber(text);
    if (!value || *value < 0 || *value > 10000000) return false;
    out = *value;
    return true;
}

bool parse(int argc, char** argv, Arguments& args) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg.rfind("--", 0) != 0) {
            if (!args.folder.empty()) return false;
            args.folder = arg;
            continue;
        }
        if (i + 1 >= argc) return false;
        std::string value = argv[++i];
        auto& o = args.options;
        bool ok = arg == "--units"       ? number(value, o.units)
                  : arg == "--models"    ? number(value, o.models)
                  : arg == "--tickets"   ? number(value, o.tickets)
                  : arg == "--listed"    ? number(value, o.listed)
                  : arg == "--max-pages" ? number(value, o.maxPages)
                  : arg == "--today"     ? day(value, o.today)
                                         : true;
        if (arg == "--server")
            args.identity.server = value;
        else if (arg == "--directory")
            args.identity.directory = value;
        else if (arg == "--terminal")
            args.identity.terminalId = args.identity.mapTerminal = value;
        else if (arg != "--units" && arg != "--models" && arg != "--tickets" && arg != "--listed" &&
                 arg != "--max-pages" && arg != "--today")
            return false;
        if (!ok) return false;
    }
    return !args.folder.empty();
}

}  // namespace

int main(int argc, char** argv) {
    Arguments args;
    args.options.today = today();
    if (!parse(argc, argv, args)) {
        std::cerr << kUsage;
        return 2;
    }
    auto started = std::chrono::steady_clock::now();
    try {
        std::filesystem::create_directories(args.folder);
        args.identity.computerName = platform::hostName();
        demo::DealerData data = demo::generateDemo(args.options);
        demo::StagedFileSystem staged;
        demo::WrittenShare written = demo::writeDealerShare(staged, data, args.identity);
        platform::LocalFileSystem share(args.folder);
        staged.commit(share);
        std::string ini = (std::filesystem::path(args.folder) / "vRMCatalog.ini").string();
        std::ofstream(ini, std::ios::binary) << tools::settingsText(
            args.identity.server, args.identity.directory, args.identity.terminalId);
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        std::cout << "Demo share written to " << args.folder << " in " << seconds
                  << " s: " << data.units.size() << " units, " << data.openTickets.size()
                  << " open tickets, " << data.listedInvoices.size() << " listed invoices, "
                  << written.invoiceRecords << " invoice pages\n"
                  << "Settings file: " << ini << "\n";
    } catch (const std::exception& failure) {
        std::cerr << "mkdemo: " << failure.what() << "\n";
        return 1;
    }
    return 0;
}
