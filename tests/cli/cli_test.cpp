#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/command_table.h"
#include "cli/commands.h"
#include "cli/invocation.h"
#include "cli_share.h"
#include "core/list_csv.h"
#include "core/model_tree.h"
#include "core/startup.h"
#include "core/stock_ageing.h"
#include "core/unit_detail.h"
#include "platform/local_file_system.h"
#include "tests/support/recording_file_system.h"
#include "tests/support/test_share.h"
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
}

struct UsageError {
    std::vector<std::string> args;
    std::string error;
};

class InvocationError : public ::testing::TestWithParam<UsageError> {};

TEST_P(InvocationError, IsRefusedWithItsMessage) {
    std::string error;
    EXPECT_FALSE(parseInvocation(GetParam().args, error));
    EXPECT_EQ(error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Wrong, InvocationError,
    ::testing::Values(
        UsageError{{}, "no command given"}, UsageError{{"--ini"}, "--ini needs a value"},
        UsageError{{"--ini", "a"}, "no command given"},
        UsageError{{"trees"}, "unknown command trees"},
        UsageError{{"units", "CTR"}, "units takes 2 operands"},
        UsageError{{"units", "CTR", "M", "--in-stock"}, "unknown option --in-stock for units"},
        UsageError{{"unit", "A", "B"}, "unit takes 3 operands"},
        UsageError{{"tree", "extra"}, "tree takes 0 operands"},
        UsageError{{"--verbose", "tree"}, "unknown option --verbose"},
        UsageError{{"report", "A", "B"}, "report takes 3 operands"},
        UsageError{{"find"}, "find takes 1 operands"},
        UsageError{{"find", " \t"}, "find needs a text to search for"},
        UsageError{{"ageing", "--csv", "--json"}, "--json and --csv exclude each other"}));

// Every entry of the command table parses as its usage line shows it, each flag (on its own,
// as some exclude each other) setting its switch, and refuses one operand less.
TEST(Invocation, EveryCommandAsItsUsageLineShowsIt) {
    for (const auto& command : commandTable()) {
        const std::string name(command.name);
        std::vector<std::string> args{name};
        std::string line = "  " + name;
        for (auto operand : command.operands) {
            args.emplace_back(operand);
            line += " " + std::string(operand);
        }
        for (const auto& flag : command.flags)
            line += " [" + std::string(flag.name) + "]";
        EXPECT_NE(kUsage.find(line + " "), std::string::npos) << name;
        std::string error;
        for (const auto& flag : command.flags) {
            auto withFlag = args;
            withFlag.emplace_back(flag.name);
            auto inv = parseInvocation(withFlag, error);
            ASSERT_TRUE(inv) << error;
            EXPECT_EQ(inv->operands.size(), command.operands.size()) << name;
            EXPECT_TRUE((*inv).*(flag.set)) << name << " " << flag.name;
        }
        if (!command.operands.empty()) {
            args.erase(args.begin() + 1);
            EXPECT_FALSE(parseInvocation(args, error)) << name;
        }
    }
}

TEST(Invocation, HelpAndVersionPrintToStdoutBeforeAnyStart) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--help"}, kUsage},
        {{"--ini", "/nowhere.ini", "--help", "tree"}, kUsage},
        {{"--version"}, "fennick-cli " + std::string(core::programVersion()) + "\n"},
    };
    for (const auto& [args, printed] : cases) {
        std::ostringstream out, err;
        EXPECT_EQ(runCli(args, out, err), kSuccess) << args[0];
        EXPECT_EQ(out.str(), printed);
        EXPECT_EQ(err.str(), "");
    }
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

// A caller that reads the program's output to its end waits for the program alone: the helper
// it forks as it starts ends with it, even when it was started with no standard input.
TEST_F(CliShare, ItsOutputEndsWithIt) {
    const std::string command = "timeout 20 sh -c '" FENNICK_CLI " --ini " + ini_ + " --unc-root " +
                                root_.string() + " tree <&- 2>&1 | cat >/dev/null'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "124: the output was still open after 20 s";
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

class StockShare : public OneUnitShare {
  protected:
    void SetUp() override {
        writeShare("fennick-cli-stock", [](demo::DealerData& d, demo::UnitSpec& u) {
            u.serial = "SN1";
            u.ledgerCents = {-2500};
            u.location = "A,\"BC\"";
            demo::UnitSpec sold = u;
            sold.unitNumber = "c2";
            sold.serial = "SN2";
            sold.sold = u.received;
            d.units = {sold};
        });
    }
    QJsonObject json() const {
        return QJsonDocument::fromJson(QByteArray::fromStdString(out_.str())).object();
    }
};

TEST_F(StockShare, FindListsMatchesAndWhetherInStock) {
    ASSERT_EQ(run({"find", "sn", "--json"}), kSuccess) << err_.str();
    QJsonArray matches = json()["matches"].toArray();
    ASSERT_EQ(matches.size(), 2);
    EXPECT_EQ(matches[1].toObject(), (QJsonObject{{"unit", "c2"},
                                                  {"serial", "SN2"},
                                                  {"code", "CTR"},
                                                  {"model", "CT100"},
                                                  {"listed", false}}));
    EXPECT_TRUE(matches[0].toObject()["listed"].toBool());
    ASSERT_EQ(run({"find", "C2"}), kSuccess);
    EXPECT_NE(out_.str().find("not in stock\n1 match\n"), std::string::npos) << out_.str();
    ASSERT_EQ(run({"find", "nowhere"}), kSuccess);
    EXPECT_NE(out_.str().find("\n0 matches\n"), std::string::npos) << out_.str();
}

// Days in stock follow the real clock here, so the test finds the bucket from the count.
TEST_F(StockShare, AgeingAsJsonAndCsv) {
    ASSERT_EQ(run({"ageing", "--json"}), kSuccess) << err_.str();
    QJsonObject total = json()["total"].toObject();
    ASSERT_EQ(json()["rows"].toArray().size(), 1);
    EXPECT_EQ(json()["buckets"].toArray().size(), 5);
    for (int b = 0; b < 5; ++b) {
        bool counted = total["count"].toArray()[b].toInt() == 1;
        EXPECT_EQ(total["cost"].toArray()[b].toString(), counted ? "-25.00" : "0.00");
    }
    ASSERT_EQ(run({"ageing", "--csv"}), kSuccess);
    EXPECT_EQ(out_.str().substr(0, 19), "Line,Model,0-90,91-");
    EXPECT_NE(out_.str().find("\r\nCTR,CT100,"), std::string::npos);
    EXPECT_NE(out_.str().find("\r\nTotal,,"), std::string::npos);
}

TEST_F(StockShare, UnitsAsCsvShowTheGridsColumns) {
    ASSERT_EQ(run({"units", "CTR", "CT100", "--csv"}), kSuccess) << err_.str();
    const std::string csv = out_.str();
    EXPECT_EQ(csv.substr(0, 17), "Unit,Make,Model,Y");
    EXPECT_NE(csv.find(",Days in Stock\r\nC1,Br\xC3\xA4"), std::string::npos) << csv;
    EXPECT_NE(csv.find(",\"A,\"\"BC\"\"\","), std::string::npos) << csv;
    EXPECT_NE(csv.find(",-25.00,"), std::string::npos) << csv;
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 2);
}

// Share bytes that would drive a terminal (an escape sequence, a bell, a C1 code) and text after
// a NUL, which the grid does not show.
class HostileTextShare : public OneUnitShare {
  protected:
    void SetUp() override {
        writeShare("fennick-cli-controls", [](demo::DealerData&, demo::UnitSpec& u) {
            u.engineId = "R\x1B[2J\x07\x81";
            u.series = "S\rOV";
            u.make = "=cmd|' /C calc'";
            u.alpha1 = std::string("A1\0HIDDEN", 9);
            u.notes = {{2, "CAB\x1B", 1, codec::kEmptyDate, "Cab", 0, 100}};
        });
    }
};

// True when `text` holds a C0 control (other than the `allowed` ones), DEL or a C1 control.
bool hasControlCharacters(const std::string& text, std::string_view allowed) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if ((c < 0x20 && allowed.find(text[i]) == allowed.npos) || c == 0x7F ||
            (c == 0xC2 && (next & 0xE0) == 0x80))
            return true;
    }
    return false;
}

TEST_F(HostileTextShare, TextOutputCarriesNoControlCharacters) {
    const std::vector<std::vector<std::string>> commands = {{"tree"},
                                                            {"units", "CTR", "CT100"},
                                                            {"unit", "CTR", "CT100", "C1"},
                                                            {"report", "CTR", "CT100", "C1"}};
    for (const auto& command : commands) {
        ASSERT_EQ(run(command), kSuccess) << command[0] << ": " << err_.str();
        const std::string printed = out_.str();
        EXPECT_FALSE(hasControlCharacters(printed, command[0] == "report" ? "\r\n" : "\n"))
            << printed;
        for (std::size_t cr = printed.find('\r'); cr != printed.npos;
             cr = printed.find('\r', cr + 1))
            EXPECT_EQ(printed.substr(cr, 2), "\r\n") << "a CR on its own returns the cursor";
        EXPECT_EQ(printed.find("HIDDEN"), std::string::npos) << command[0];
        if (command[0] != "tree") {  // line names are packed text, which has no controls
            EXPECT_NE(printed.find("R\xEF\xBF\xBD[2J"), std::string::npos) << printed;
        }
    }
}

// What reaches the terminal besides the tables: messages on stderr (words a user typed, values
// of the settings file) and the export path on stdout.
TEST_F(HostileTextShare, MessagesAndPathsCarryNoControlCharacters) {
    const std::string escape = "\x1B]0;owned\x07\x1B[2J";
    EXPECT_EQ(run({"unit", "CTR", "CT100", "C1" + escape}), kFailure);
    EXPECT_NE(err_.str().find("Unit C1\xEF\xBF\xBD]0;owned"), std::string::npos) << err_.str();

    std::ofstream(ini_) << tools::settingsText("DEMO" + escape, "DLR001", "7");
    EXPECT_EQ(run({"tree"}), kFailure);
    EXPECT_NE(err_.str().find("Connection Error: "), std::string::npos) << err_.str();

    std::ofstream(ini_) << tools::settingsText("DEMOSRV", "DLR001", "7");
    const fs::path oddRoot = root_.string() + escape;
    fs::create_directory_symlink(root_, oddRoot);
    std::vector<std::string> args = {"--ini",  ini_,  "--unc-root", oddRoot.string(),
                                     "export", "CTR", "CT100",      "C1"};
    out_.str("");
    ASSERT_EQ(runCli(args, out_, err_), kSuccess) << err_.str();
    EXPECT_NE(out_.str().find("\xEF\xBF\xBD]0;owned"), std::string::npos) << out_.str();
    fs::remove(oddRoot);
    for (const std::string& printed : {out_.str(), err_.str()})
        EXPECT_FALSE(hasControlCharacters(printed, "\r\n")) << printed;
}

TEST_F(HostileTextShare, CsvCellsAreNeverFormulas) {
    ASSERT_EQ(run({"units", "CTR", "CT100", "--csv"}), kSuccess) << err_.str();
    EXPECT_NE(out_.str().find("C1,'=cmd|' /C calc',"), std::string::npos) << out_.str();
    EXPECT_NE(out_.str().find(",SOV,"), std::string::npos) << out_.str();
    EXPECT_FALSE(hasControlCharacters(out_.str(), "\r\n"));
}

TEST_F(HostileTextShare, JsonKeepsTheExactStrings) {
    ASSERT_EQ(run({"units", "CTR", "CT100", "--json"}), kSuccess) << err_.str();
    QJsonArray row =
        QJsonDocument::fromJson(QByteArray::fromStdString(out_.str()))["rows"][0].toArray();
    EXPECT_TRUE(row[11].toString().startsWith(QString::fromUtf8("R\x1B[2J\x07\xC2\x81")));
    EXPECT_TRUE(row[16].toString().startsWith(QString::fromUtf8("A1\0HIDDEN", 9)));
}

// The dealer's files are only ever asked for reading; the one file written is the hand-off.
TEST_F(CliShare, OpensTheDealersFilesReadOnly) {
    const std::vector<std::vector<std::string>> commands = {{"tree", "--in-stock"},
                                                            {"units", "CTR", "CT100"},
                                                            {"report", "CTR", "CT100", "C1"},
                                                            {"export", "CTR", "CT100", "C1"}};
    for (auto args : commands) {
        test_support::FileRequests requests;
        args.insert(args.begin(), {"--ini", ini_, "--unc-root", root_.string()});
        auto record = [&](std::unique_ptr<platform::FileSystem> share) {
            return std::make_unique<test_support::RecordingFileSystem>(std::move(share), requests);
        };
        ASSERT_EQ(runCli(args, out_, err_, record), kSuccess) << args[4] << err_.str();
        EXPECT_GE(requests.opened.size(), 5u) << args[4];
        for (const auto& [path, access] : requests.opened)
            EXPECT_EQ(access, platform::Access::Read) << path;
        for (const auto& path : requests.created)
            EXPECT_NE(path.find("\\CATCON\\unitexport."), std::string::npos) << path;
        EXPECT_EQ(requests.created.size(), args[4] == "export" ? 1u : 0u);
    }
}

// The window opens the store the same way and reads the same files: start-up, the tree, a
// node click that lists the model and shows its first unit.
TEST_F(CliShare, ViewerOpensTheDealersFilesReadOnly) {
    test_support::FileRequests requests;
    store::StoreStart start;
    start.settingsFile = ini_;
    start.share.uncRoot = root_.string();
    start.decorate = [&](std::unique_ptr<platform::FileSystem> share) {
        return std::make_unique<test_support::RecordingFileSystem>(std::move(share), requests);
    };
    auto store = store::openStore(start);
    ASSERT_TRUE(store);
    core::readUserDefinedNames(*store);
    auto tree = core::ModelTree(*store).loadtree(true);
    ASSERT_EQ(tree.lines.size(), 1u);
    auto click = core::clickNode(*store, tree.lines[0].models.at(0).tag);
    EXPECT_TRUE(click.firstUnit);
    store.reset();
    EXPECT_GE(requests.opened.size(), 5u);
    for (const auto& [path, access] : requests.opened)
        EXPECT_EQ(access, platform::Access::Read) << path;
    EXPECT_TRUE(requests.created.empty());
}

// The stock ageing window's store: the same start, its own share reads and engine. The
// program's store reads on while it is open and after it has gone.
TEST_F(CliShare, StoreBesideHasItsOwnEngineAndShare) {
    store::StoreStart start;
    start.settingsFile = ini_;
    start.share.uncRoot = root_.string();
    auto store = store::openStore(start);
    ASSERT_TRUE(store);
    const std::string ageing = core::ageingCsv(core::stockAgeing(*store));
    test_support::FileRequests requests;
    start.decorate = [&](std::unique_ptr<platform::FileSystem> share) {
        return std::make_unique<test_support::RecordingFileSystem>(std::move(share), requests);
    };
    auto beside = store::openStoreBeside(store->system(), start);
    ASSERT_TRUE(beside);
    EXPECT_NE(&beside->share(), &store->share());
    EXPECT_EQ(core::ageingCsv(core::stockAgeing(*beside)), ageing);
    EXPECT_EQ(core::ageingCsv(core::stockAgeing(*store)), ageing);
    EXPECT_GE(requests.opened.size(), 5u);
    for (const auto& [path, access] : requests.opened)
        EXPECT_EQ(access, platform::Access::Read) << path;
    beside.reset();
    EXPECT_EQ(core::ageingCsv(core::stockAgeing(*store)), ageing);
    start.share.uncRoot = (root_ / "nowhere").string();
    test_support::RecordingServices services;
    EXPECT_FALSE(store::openStoreBeside(store->system(), start));
    EXPECT_EQ(core::ageingCsv(core::stockAgeing(*store)), ageing);
}

}  // namespace
}  // namespace fennick::cli
