#include <gtest/gtest.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/commands.h"
#include "cli_share.h"
#include "platform/local_file_system.h"
#include "tools/mkdemo/share_builder.h"
#include "tools/share_writer.h"

namespace fennick::cli {
namespace {

namespace fs = std::filesystem;

TEST(Invocation, CommandsOperandsAndOptions) {
    std::string error;
    auto inv = parseInvocation(
        {"--ini", "a.ini", "--unc-root", "/r", "tree", "--in-stock", "--json"}, error);
    ASSERT_TRUE(inv) << error;
    EXPECT_EQ(inv->ini, "a.ini");
    EXPECT_EQ(inv->uncRoot, "/r");
    EXPECT_TRUE(inv->inStock && inv->json);
    inv = parseInvocation({"unit", "CTR", "CT 100", "C1"}, error);
    ASSERT_TRUE(inv);
    EXPECT_EQ(inv->operands, (std::vector<std::string>{"CTR", "CT 100", "C1"}));
    EXPECT_FALSE(inv->json);

    const std::vector<std::vector<std::string>> wrong = {{},
                                                         {"--ini"},
                                                         {"--ini", "a"},
                                                         {"trees"},
                                                         {"units", "CTR"},
                                                         {"units", "CTR", "M", "--in-stock"},
                                                         {"unit", "A", "B"},
                                                         {"tree", "extra"},
                                                         {"--verbose", "tree"},
                                                         {"report", "A", "B"}};
    for (const auto& args : wrong)
        EXPECT_FALSE(parseInvocation(args, error)) << args.size();
}

class CliShare : public OneUnitShare {
  protected:
    void SetUp() override {
        writeShare("fennick-cli-test", [](demo::DealerData& d, demo::UnitSpec& u) {
            u.ledgerCents = {-2500};
            u.notes = {{2, "CAB", 1, codec::kEmptyDate, "Cab", 0, 100}};
            d.userNames = {"Key Tag ", "", "", ""};
        });
    }
    QJsonObject json() const {
        return QJsonDocument::fromJson(QByteArray::fromStdString(out_.str())).object();
    }
};

TEST_F(CliShare, TreeUnitsAndUnitAsJson) {
    ASSERT_EQ(run({"tree", "--json"}), kSuccess) << err_.str();
    QJsonObject line = json()["lines"].toArray()[0].toObject();
    EXPECT_EQ(line["text"].toString().toStdString(), "COMPACT TRACTORS" + std::string(14, ' '));
    EXPECT_EQ(line["tag"].toString(), "CTR");
    EXPECT_EQ(line["models"].toArray()[0].toObject()["tag"].toString().size(), 30);

    ASSERT_EQ(run({"units", "CTR", "CT100", "--json"}), kSuccess) << err_.str();
    QJsonArray headings = json()["headings"].toArray();
    QJsonArray row = json()["rows"].toArray()[0].toArray();
    ASSERT_EQ(headings.size(), 30);
    ASSERT_EQ(row.size(), 30);
    EXPECT_EQ(headings[16].toString(), "Key Tag");
    EXPECT_EQ(row[1].toString(), QString::fromUtf8("Br\xC3\xA4"
                                                   "ckwater"));
    EXPECT_EQ(row[23].toString(), "-25.00");

    ASSERT_EQ(run({"unit", "CTR", "CT100", "C1", "--json"}), kSuccess) << err_.str();
    EXPECT_EQ(json()["details"].toArray()[16].toString(), "-BE.00");
    EXPECT_EQ(json()["factory"].toArray()[0].toArray()[0].toString(), "CAB");
    EXPECT_EQ(json()["captions"].toArray().size(), 18);
    EXPECT_TRUE(json()["notes"].toArray().isEmpty());
}

TEST_F(CliShare, TextOutputAndFailures) {
    EXPECT_EQ(run({"units", "CTR", "CT100"}), kSuccess);
    EXPECT_NE(out_.str().find("Br\xC3\xA4"
                              "ckwater"),
              std::string::npos);
    EXPECT_NE(out_.str().find("1 units"), std::string::npos);
    EXPECT_EQ(run({"unit", "CTR", "CT100", "C9"}), kFailure);
    EXPECT_NE(err_.str().find("C9"), std::string::npos);
    EXPECT_EQ(run({"units", "CTR"}), kUsageError);

    fs::remove(root_ / "DEMOSRV" / "TARNLNK" / "DLR001" / "FILE0");
    EXPECT_EQ(run({"units", "CTR", "CT100"}), kFailure);
    EXPECT_NE(err_.str().find("in larkmoor.LoadUnits"), std::string::npos) << err_.str();

    std::vector<std::string> noSettings = {"--ini", (root_ / "none.ini").string(), "tree"};
    EXPECT_EQ(runCli(noSettings, out_, err_), kFailure);
    EXPECT_NE(err_.str().find("EpcError: You are missing file: "), std::string::npos);
    err_.str("");
    std::vector<std::string> noShare = {"--ini", ini_, "--unc-root", (root_ / "x").string(),
                                        "tree"};
    EXPECT_EQ(runCli(noShare, out_, err_), kFailure);
    EXPECT_NE(err_.str().find("Connection Error: "), std::string::npos);
}

}  // namespace
}  // namespace fennick::cli
