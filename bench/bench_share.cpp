#include "bench_share.h"

#include <chrono>
#include <fstream>
#include <iostream>
#include <sstream>

#include "platform/local_file_system.h"
#include "platform/workstation.h"
#include "tools/mkdemo/demo_generator.h"
#include "tools/mkdemo/share_builder.h"
#include "tools/mkdemo/staged_file_system.h"
#include "tools/share_writer.h"

namespace fennick::bench {

namespace {

namespace fs = std::filesystem;

demo::DemoOptions options() {
    demo::DemoOptions o;
    o.units = 200000;
    o.tickets = 2000;
    o.listed = demo::kListPositions;
    o.maxPages = 3;
    o.today = demo::kFixedDay;
    return o;
}

std::string description(const demo::DemoOptions& o, const std::string& server) {
    std::ostringstream text;
    text << "units " << o.units << " tickets " << o.tickets << " listed " << o.listed << " pages "
         << o.maxPages << " seed " << o.seed << " day " << o.today.time_since_epoch().count()
         << " server " << server << "\n";
    return text.str();
}

}  // namespace

BenchShare benchShare(const fs::path& folder) {
    BenchShare share{folder, (folder / "vRMCatalog.ini").string(), "127.0.0.1"};
    const demo::DemoOptions o = options();
    const std::string written = description(o, share.server);
    const fs::path stamp = folder / "written-with";
    std::ifstream in(stamp);
    std::stringstream found;
    found << in.rdbuf();
    if (found.str() == written) return share;

    auto started = std::chrono::steady_clock::now();
    fs::remove_all(folder);
    fs::create_directories(folder);
    demo::ShareIdentity identity;
    identity.server = share.server;
    identity.computerName = platform::hostName();
    demo::StagedFileSystem staged;
    auto data = demo::generateDemo(o);
    demo::writeDealerShare(staged, data, identity);
    platform::LocalFileSystem local(folder);
    staged.commit(local);
    std::ofstream(share.settingsFile)
        << tools::settingsText(identity.server, identity.directory, identity.terminalId);
    std::ofstream(stamp) << written;
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
    std::cout << "Share of " << data.units.size() << " units, " << data.openTickets.size()
              << " open tickets, " << data.listedInvoices.size() << " listed invoices written in "
              << took.count() << " s\n";
    return share;
}

}  // namespace fennick::bench
