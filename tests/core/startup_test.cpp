#include "core/startup.h"
#include "core/unit_list.h"

#include <gtest/gtest.h>

#include "viewer_share.h"

namespace fennick::core {
namespace {

struct CommandLineCase {
    const char* text;
    bool fromPointOfSale, lineAndModel, hideMenu;
    const char* line;
    const char* model;
};

TEST(CommandLine, FlagsAndPreselection) {
    const CommandLineCase cases[] = {
        {"", false, false, false, "", ""},
        {"cfzelt", true, false, true, "", ""},
        {"CFZELT", false, false, false, "", ""},
        {"x,ABC,1234", false, true, true, "ABC", "1234"},
        {"cfzelt,ABC,1234", true, true, true, "ABC", "1234"},
        {"cfzelt,ABC", true, false, true, "", ""},    // two elements: no preselection
        {"cfzelt,,1234", true, false, true, "", ""},  // empty elements are dropped
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        CommandLine line = parseCommandLine(c.text);
        EXPECT_EQ(line.fromPointOfSale, c.fromPointOfSale);
        EXPECT_EQ(line.lineAndModelGiven, c.lineAndModel);
        EXPECT_EQ(line.hideAddToInvoiceMenu, c.hideMenu);
        EXPECT_EQ(line.lineCode(), c.line);
        EXPECT_EQ(line.model(), c.model);
    }
}

TEST(StartupTexts, CaptionVersionAndStatusBar) {
    EXPECT_EQ(captionText(kDesignCaption, false),
              "Tarnwell Larkmoor" + std::string(13, ' ') + "Version   7.05.0003");
    EXPECT_EQ(versionText(true), "Version   7.05.0003w");

    cSystem system;
    system.ComputerName = "WS07";
    system.mUNCDrive = "FS1";
    system.xTermid = "12";
    system.mDirectory = "DLR001";
    auto panels = statusBarTexts(system);
    EXPECT_EQ(panels[0], "Client :WS07");
    EXPECT_EQ(panels[1], "Host :FS1");
    EXPECT_EQ(panels[2], "Terminal :12");
    EXPECT_EQ(panels[3], "Source :DLR001      Store # 001");
    system.mDirectory = "AB";
    EXPECT_EQ(statusBarTexts(system)[3], "Source :AB      Store # ");
}

TEST(UserDefinedNames, BlankFieldsTakeTheDefaults) {
    std::string block(512, ' ');
    block.replace(432, 8, " Axles  ");
    block.replace(472, 8, std::string("Hours\0\0\0", 8));
    auto names = userDefinedNamesFrom(block);
    EXPECT_EQ(names[0], " Axles");  // trailing blanks go, leading ones stay
    EXPECT_EQ(names[1], "User Defined Numeric 2");
    EXPECT_EQ(names[2], std::string("Hours\0\0\0", 8));  // only blanks are trimmed
    EXPECT_EQ(names[3], "User Defined Alpha 2");
    EXPECT_EQ(userDefinedNamesFrom("")[0], "User Defined Numeric 1");

    auto headings = unitGridHeadings(names);
    ASSERT_EQ(headings.size(), kUnitColumns);
    EXPECT_EQ(headings[16], " Axles");
    EXPECT_EQ(headings[19], "User Defined Alpha 2");
    EXPECT_EQ(headings[29], "xmodel");
    auto captions = detailCaptions(names);
    ASSERT_EQ(captions.size(), 18u);
    EXPECT_EQ(captions[9], " Axles");
    EXPECT_EQ(captions[16], "Cost");
}

TEST(UserDefinedNames, ReadFromFile0OrFail) {
    demo::DealerData data;
    data.lines = {test_support::unitLine()};
    data.userNames = {"Key Tag ", "        ", "", "ABCDEFGHIJ"};
    test_support::ViewerShare share(data);
    auto names = readUserDefinedNames(*share.store);
    EXPECT_EQ(names[0], "Key Tag");
    EXPECT_EQ(names[1], "User Defined Numeric 2");
    EXPECT_EQ(names[2], "User Defined Alpha 1");
    EXPECT_EQ(names[3], "ABCDEFGH");

    share.log->memory.setUnopenable("\\\\DEMOSRV\\TARNLNK\\DLR001\\FILE0");
    share.reopen();
    EXPECT_THROW(readUserDefinedNames(*share.store), EngineError);
}

}  // namespace
}  // namespace fennick::core
