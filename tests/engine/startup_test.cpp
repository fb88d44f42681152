#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "engine/global_connectivity.h"
#include "platform/local_file.h"
#include "platform/local_file_system.h"
#include "support/test_share.h"

namespace fennick {
namespace {

namespace fs = std::filesystem;

// A share on disk under a fresh temporary folder, and a settings file beside it.
class Startup : public ::testing::Test {
  protected:
    void SetUp() override {
        root = fs::temp_directory_path() /
               ("fennick-startup-" +
                std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root);
        local = std::make_unique<platform::LocalFileSystem>(root);
        tools::ShareWriter writer(*local, "FS1", "DEALER");
        writer.makeFolders();
        writer.writeLinks();
        settings = (root / "vRMCatalog.ini").string();
        writeSettings(tools::settingsText("FS1", "DEALER", "7"));
    }
    void TearDown() override {
        ReleaseDataEngine();
        fs::remove_all(root);
    }
    void writeSettings(const std::string& text) { std::ofstream(settings) << text; }
    void writeTerminalMap(const std::string& text) {
        std::ofstream(root / "FS1" / "TARNLNK" / "ttymap") << text;
    }
    mGlobalConnectivity& start(const std::string& name = "ws07",
                               std::unique_ptr<platform::FileSystem> share = nullptr) {
        StartupOptions options;
        options.settingsFile = settings;
        options.uncRoot = root.string();
        options.share = std::move(share);
        options.environment.computerName = [name] { return name + std::string("\0\r ", 3); };
        options.environment.ipv4Of = [](const std::string&) { return std::string("10.0.0.7"); };
        options.environment.clock = [] { return platform::LocalDateTime{2009, 12, 5, 9, 0, 0}; };
        InitializeDataEngine(std::move(options));
        return mGlobalConnectivity::instance();
    }
    fs::path root;
    std::string settings;
    std::unique_ptr<platform::LocalFileSystem> local;
    test_support::RecordingServices services;
};

TEST_F(Startup, TerminalNumberFromTheMap) {
    writeTerminalMap("WS07\nOTHER 3\nws07 12,A extra\nWS07 99\n");
    auto& g = start();
    ASSERT_TRUE(g.BusinessBasic) << (g.StartupError ? g.StartupError->description() : "");
    EXPECT_EQ(g.System->ComputerName, "ws07");
    EXPECT_EQ(g.System->TerminalID, "12");
    EXPECT_EQ(g.System->xTermid, "7");
    EXPECT_EQ(g.BusinessBasic->Sys(4), 12);
    EXPECT_EQ(g.System->TARNLNK(), "\\\\FS1\\TARNLNK\\DEALER");
    EXPECT_EQ(g.System->CATCON(), "\\\\FS1\\CATCON\\");
    EXPECT_EQ(g.EpcInfo->CatalogShare, "\\\\FS1\\CATALOG\\");
    EXPECT_EQ(g.EpcInfo->CustomerNumber, 1);
}

TEST_F(Startup, AddressLinesAndUnlistedWorkstations) {
    writeTerminalMap("10.0.0.7    5\r\n");
    EXPECT_EQ(start().System->TerminalID, "5");
    writeTerminalMap("ELSEWHERE 4\n");
    auto& g = start();
    EXPECT_EQ(g.System->TerminalID, "0");
    EXPECT_EQ(g.BusinessBasic->Sys(4), 0);
}

TEST_F(Startup, SystemValuesFromTheClock) {
    writeTerminalMap("WS07 1\n");
    auto& bb = *start().BusinessBasic;
    EXPECT_EQ(bb.Sys(1), 5);
    EXPECT_EQ(bb.Sys(2), 12);
    EXPECT_EQ(bb.Sys(3), 2009);
    EXPECT_EQ(bb.Sys(28), 120509);
    EXPECT_EQ(bb.Sys(128), 91205);
    EXPECT_EQ(bb.Sys(152), 15315);
    EXPECT_EQ(bb.Sys(5), 0);
    EXPECT_EQ(bb.Sys(200), 0);
}

TEST_F(Startup, SettingsValues) {
    writeTerminalMap("WS07 1\n");
    writeSettings("[quarto]\nserver = \"FS1\"\nDirectory=DEALER\nCustomerNumber=\nTerminalID=" +
                  std::string(120, '9') + "\n");
    auto& g = start();
    ASSERT_TRUE(g.BusinessBasic);
    EXPECT_EQ(g.EpcInfo->TerminalID.size(), 99u);
    EXPECT_EQ(g.EpcInfo->CustomerNumber, 0);
}

TEST_F(Startup, MissingSettingsFile) {
    fs::remove(settings);
    auto& g = start();
    EXPECT_FALSE(g.BusinessBasic);
    ASSERT_EQ(services.boxes.size(), 1u);
    EXPECT_EQ(services.boxes[0], "EpcError|You are missing file: " + settings +
                                     "    Are you running Tarnwell Workstation?");
}

TEST_F(Startup, SettingsWithoutTheSectionFailTheShareCheck) {
    writeSettings("[Other]\nServer=FS1\n");
    auto& g = start();
    EXPECT_FALSE(g.BusinessBasic);
    ASSERT_TRUE(g.StartupError);
    EXPECT_EQ(g.StartupError->number(), 91);
    ASSERT_EQ(services.boxes.size(), 1u);
    EXPECT_EQ(services.boxes[0],
              "Connection Error|You are attempting to connect to: \\\\\\TARNLNK\\ "
              "and this shows to be an invalid network share");
}

TEST_F(Startup, MissingTerminalMap) {
    auto& g = start();
    EXPECT_FALSE(g.BusinessBasic);
    ASSERT_TRUE(g.StartupError);
    EXPECT_EQ(g.StartupError->number(), -10);
    EXPECT_EQ(g.StartupError->source(), "vRMDataEngine_Initialization");
    EXPECT_EQ(g.StartupError->description(),
              "Terminal File 'ttymap' not found on drive \\\\FS1\\TARNLNK");
    EXPECT_TRUE(services.boxes.empty());
}

TEST_F(Startup, UnlistedWorkstationIsWarnedOfAndWorksAsTerminalZero) {
    writeTerminalMap("ELSEWHERE 4\n");
    auto& g = start();
    ASSERT_TRUE(g.BusinessBasic);
    EXPECT_EQ(g.System->TerminalID, "0");
    ASSERT_EQ(services.boxes.size(), 1u);
    EXPECT_EQ(services.boxes[0],
              "Terminal map|The workstation ws07 (10.0.0.7) is not in the terminal map "
              "\\\\FS1\\TARNLNK\\ttymap; it works as terminal 0.");
}

// A settings file that cannot be read says so and why, never that the share is invalid.
TEST_F(Startup, UnreadableSettingsFileIsNamedWithTheReason) {
    writeTerminalMap("WS07 1\n");
    platform::setLocalReadFailure(
        [](const std::string&, std::int64_t, std::size_t) { return EACCES; });
    auto& g = start();
    platform::setLocalReadFailure({});
    EXPECT_FALSE(g.BusinessBasic);
    ASSERT_EQ(services.boxes.size(), 1u);
    EXPECT_EQ(services.boxes[0],
              "EpcError|The settings file " + settings + " cannot be read.\nPermission denied");
}

// A share file that is there but may not be read ends start-up as refused, naming the file.
class RefusedShareFile : public Startup, public ::testing::WithParamInterface<const char*> {};

TEST_P(RefusedShareFile, EndsStartUpWithPermissionDenied) {
    auto memory = std::make_unique<platform::MemoryFileSystem>();
    tools::ShareWriter writer(*memory, "FS1", "DEALER");
    writer.makeFolders();
    writer.writeLinks();
    writer.writeTerminalMap("WS07 1\n");
    const std::string refused = GetParam();
    memory->setRefused(refused);
    auto& g = start("ws07", std::move(memory));
    EXPECT_FALSE(g.BusinessBasic);
    ASSERT_TRUE(g.StartupError);
    EXPECT_EQ(g.StartupError->number(), 70);
    EXPECT_EQ(g.StartupError->description(), "Permission denied: " + refused);
}

INSTANTIATE_TEST_SUITE_P(StartUpFiles, RefusedShareFile,
                         ::testing::Values("\\\\FS1\\TARNLNK\\ttymap",
                                           "\\\\FS1\\TARNLNK\\LINKSFILE"));

// The clock is read once: day, month and year of one instant, even across midnight.
TEST(SystemValues, TodaysDayNumberReadsTheClockOnce) {
    test_support::TestShare share;
    share.open();
    int reads = 0;
    EngineEnvironment env;
    env.share = &share.fs;
    env.computerName = [] { return std::string("ws07"); };
    env.ipv4Of = [](const std::string&) { return std::string("10.0.0.7"); };
    env.clock = [&] {
        return ++reads == 1 ? platform::LocalDateTime{2025, 12, 31, 23, 59, 59}
                            : platform::LocalDateTime{2026, 1, 1, 0, 0, 0};
    };
    cBusinessBasic bb(share.system, env);
    EXPECT_EQ(bb.Sys(152), codec::dateToDay(12, 31, 25));
    EXPECT_EQ(reads, 1);
}

// A read failure while start-up reads the terminal map or the links file is the start-up
// error (the engine's device error, naming the file), not an exception that escapes start-up.
TEST(StartupReads, FailureIsTheStartupError) {
    for (int reads : {0, 1}) {
        test_support::TestShare share;
        share.writer.writeLinks();
        auto memory = std::make_unique<platform::MemoryFileSystem>();
        for (const auto& path : share.fs.paths())
            memory->setFile(path, *share.fs.contents(path));
        memory->makeDirectory("\\\\FS1\\TARNLNK");
        memory->failReadsAfter(reads);  // 0: the terminal map fails, 1: the links file
        fs::path settings = fs::temp_directory_path() / "fennick-failing-reads.ini";
        std::ofstream(settings) << tools::settingsText("FS1", "DEALER", "7");
        StartupOptions options;
        options.settingsFile = settings.string();
        options.share = std::move(memory);
        options.environment.computerName = [] { return std::string("WS07"); };
        EXPECT_NO_THROW(InitializeDataEngine(std::move(options))) << reads;
        auto& g = mGlobalConnectivity::instance();
        EXPECT_FALSE(g.BusinessBasic);
        ASSERT_TRUE(g.StartupError) << reads;
        EXPECT_EQ(g.StartupError->number(), 57);
        EXPECT_EQ(g.StartupError->description(),
                  std::string("Device I/O error: \\\\FS1\\TARNLNK\\") +
                      (reads == 0 ? "ttymap" : "LINKSFILE"));
        ReleaseDataEngine();
        fs::remove(settings);
    }
}

TEST(Stma, ModesConvertAndChangeTheAlphabet) {
    test_support::TestShare share;
    auto& bb = share.open();
    Variant mode = 12, day, month = 12, dom = 31, year = 99, none;
    bb.Stma(mode, day, month, dom, year, none);
    EXPECT_EQ(std::get<std::int32_t>(day), 11688);
    Variant eleven = 11, outMonth, outDay, outYear, date;
    bb.Stma(eleven, day, outMonth, outDay, outYear, date);
    EXPECT_EQ(std::get<std::int32_t>(outMonth), 12);
    EXPECT_EQ(std::get<std::int32_t>(outDay), 31);
    EXPECT_EQ(std::get<std::int32_t>(outYear), 99);
    Variant ten = 10, zero = 0, wrong = std::string("-.,"), four = std::string(" ,-.");
    bb.Stma(ten, zero, wrong, none, none, none);
    EXPECT_EQ(bb.PackingAlphabet(), codec::kPackingAlphabet);
    bb.Stma(ten, zero, four, none, none, none);
    EXPECT_EQ(bb.PackingAlphabet().substr(0, 4), " ,-.");
    std::string slash = "1/2";
    EXPECT_EQ(codec::decompress(codec::compress(slash)), "1/2") << "the codec default is untouched";
    std::string packed = codec::compress(slash);
    EXPECT_EQ(bb.Ucm(packed), "1-2");
}

}  // namespace
}  // namespace fennick
