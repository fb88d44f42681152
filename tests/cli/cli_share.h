#pragma once
// A one-unit dealer share on disk, as mkdemo writes it, and fennick-cli run against it: line CTR
// "COMPACT TRACTORS" with unit C1 of model CT100, made by "Bräckwater" (a Windows-1252 byte).

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "cli/commands.h"
#include "platform/local_file_system.h"
#include "tools/mkdemo/share_builder.h"
#include "tools/share_writer.h"

namespace fennick::cli {

class OneUnitShare : public ::testing::Test {
  protected:
    // Writes the share; `adjust` sets what a test needs on the unit or the share first (units
    // it adds come after the unit).
    void writeShare(const std::string& folder,
                    const std::function<void(demo::DealerData&, demo::UnitSpec&)>& adjust) {
        namespace fs = std::filesystem;
        root_ = fs::temp_directory_path() / (folder + "-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        demo::DealerData d;
        d.lines = {{1, "CTR", "COMPACT TRACTORS", 'U', "T"}};
        demo::UnitSpec u;
        u.line = 1;
        u.model = "CT100";
        u.unitNumber = "C1";
        u.make =
            "Br\xE4"
            "ckwater";
        u.received = Date{std::chrono::year{2025} / 1 / 2};
        adjust(d, u);
        d.units.insert(d.units.begin(), u);
        platform::LocalFileSystem share(root_);
        demo::writeDealerShare(share, d, demo::ShareIdentity{});
        ini_ = (root_ / "vRMCatalog.ini").string();
        std::ofstream(ini_) << tools::settingsText("DEMOSRV", "DLR001", "7");
    }
    void TearDown() override { std::filesystem::remove_all(root_); }

    int run(std::vector<std::string> args) {
        out_.str("");
        err_.str("");
        args.insert(args.begin(), {"--ini", ini_, "--unc-root", root_.string()});
        return runCli(args, out_, err_);
    }

    std::filesystem::path root_;
    std::string ini_;
    std::ostringstream out_, err_;
};

}  // namespace fennick::cli
