// fennick-cli's report and export commands on a small dealer share on disk.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/commands.h"
#include "cli_share.h"
#include "core/export_file.h"
#include "platform/local_file_system.h"
#include "tools/mkdemo/share_builder.h"
#include "tools/share_writer.h"

namespace fennick::cli {
namespace {

namespace fs = std::filesystem;

std::string fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class HandOffShare : public OneUnitShare {
  protected:
    void SetUp() override {
        writeShare("fennick-cli-handoff", [](demo::DealerData&, demo::UnitSpec& u) {
            u.ledgerCents = {123450};
            u.notes = {{1, "", 0, codec::kEmptyDate, "Plain note", 0, 0},
                       {2, "CAB", 2, codec::kEmptyDate, "Cab", 0, 150000},
                       {3, "HITCH", 1, codec::kEmptyDate, "Hitch", 0, 9900},
                       {4, "MOWER", 1, codec::kEmptyDate, "Mid mower", 0, 0}};
        });
    }
    std::vector<std::string> outLines() const {
        std::vector<std::string> lines;
        std::string text = out_.str();
        for (std::size_t from = 0, at; (at = text.find("\r\n", from)) != text.npos; from = at + 2)
            lines.push_back(text.substr(from, at - from));
        return lines;
    }
};

TEST_F(HandOffShare, ReportPrintsTheReportText) {
    ASSERT_EQ(run({"report", "CTR", "CT100", "C1"}), kSuccess) << err_.str();
    auto lines = outLines();
    ASSERT_EQ(lines.size(), 34u + 3);
    // Headings are right-aligned to the longest, "User Defined Numeric 2" (22 characters).
    const std::string indent(22 - 4, ' ');
    EXPECT_EQ(lines[4], indent + "Unit  : C1");
    EXPECT_EQ(lines[5], indent +
                            "Make  : Br\xC3\xA4"
                            "ckwater");
    EXPECT_EQ(lines[4 + 23], indent + "Cost  : ABCD.E0");
    EXPECT_EQ(lines[34].substr(0, 25), "  F  " + std::string(17, ' ') + "CAB");
    EXPECT_EQ(lines[34].substr(65), std::string(8, ' ') + "1500.00");
    EXPECT_EQ(lines[35].substr(0, 25), "  D  " + std::string(15, ' ') + "HITCH");
    EXPECT_EQ(lines[36].substr(0, 25), "  S  " + std::string(15, ' ') + "MOWER");
    EXPECT_EQ(out_.str().find("Plain note"), std::string::npos);

    EXPECT_EQ(run({"report", "CTR", "CT100", "C2"}), kFailure);
    EXPECT_NE(err_.str().find("C2"), std::string::npos);
    EXPECT_EQ(run({"report", "CTR", "CT100", "C1", "--json"}), kUsageError);
}

TEST_F(HandOffShare, ExportWritesTheFileAndPrintsItsPath) {
    const fs::path file = root_ / "DEMOSRV" / "CATCON" / "unitexport.7";
    std::ofstream(file) << std::string(300, 'x');
    ASSERT_EQ(run({"export", "CTR", "CT100", "C1"}), kSuccess) << err_.str();
    EXPECT_EQ(out_.str(), file.string() + "\n");
    EXPECT_EQ(fileBytes(file), core::shortRecord("CTR", "CT100", "C1"));

    fs::remove_all(root_ / "DEMOSRV" / "CATCON");
    EXPECT_EQ(run({"export", "CTR", "CT100", "C1"}), kFailure);
    EXPECT_EQ(out_.str(), "");
    EXPECT_NE(err_.str().find(" in Add to Invoice function\r\n\r\nCould not create Export file."),
              std::string::npos)
        << err_.str();
    EXPECT_FALSE(fs::exists(root_ / "DEMOSRV" / "CATCON"));
}

}  // namespace
}  // namespace fennick::cli
