#include "records/shop_detail.h"

#include <gtest/gtest.h>

#include "engine/engine_writer.h"
#include "record_bytes.h"
#include "support/test_share.h"

namespace fennick {
namespace {

using namespace test_support;
using Line = clsInvDetail::DetailLine;

constexpr int kPageLength = 160 + 4 * 44;

std::string salesEntry(const std::string& part, const std::string& dashes, int tenths,
                       int net = 1500, int cost = 900) {
    std::string e(44, '\0');
    put(e, 1, squeezed("PRT"));
    put(e, 3, squeezed(part, 12));
    put(e, 15, squeezed(dashes, 2));
    put(e, 17, squeezed("BELT", 14));
    put(e, 31, be(tenths, 2));
    put(e, 33, be(net, 3));
    put(e, 36, be(cost, 3));
    return e;
}

std::string remarkEntry(const std::string& text) {
    std::string e(44, '\0');
    put(e, 1, squeezed("REM"));
    put(e, 3, squeezedDash(text, 42));
    return e;
}

std::string page(int number, std::int32_t link, const std::vector<std::string>& entries,
                 int count = -1) {
    std::string rec(kPageLength, '\0');
    put(rec, 1, be(1, 2));
    put(rec, 110, be(link, 3));
    put(rec, 115, be(number, 1));
    put(rec, 146, be(count < 0 ? static_cast<int>(entries.size()) : count, 1));
    for (std::size_t k = 0; k < entries.size(); ++k)
        put(rec, 161 + 44 * static_cast<int>(k), entries[k]);
    return rec;
}

class ShopDetail : public ::testing::Test {
  protected:
    void SetUp() override {
        share.writer.addDataFile("DEALER:INVO.DR", {{"INVOL", "L", kPageLength, 20}});
        share.writer.writeLinks();
        bb = &share.open();
    }
    void write(std::int32_t number, const std::string& rec) {
        EngineWriter(*bb).LwriteFile("INVOL", number, rec);
    }
    std::vector<Line> detailOf(std::int32_t start, bool expectError = false) {
        clsInvDetail lookup(*bb);
        lookup.InvoiceRec(start);
        lookup.GetDetail();
        EXPECT_EQ(lookup.DetailError(), expectError);
        return lookup.DetailReturn();
    }
    static std::vector<std::string> firstTexts(const std::vector<Line>& lines) {
        std::vector<std::string> out;
        for (const auto& l : lines)
            out.push_back(l[1].substr(0, 2));
        return out;
    }
    TestShare share;
    RecordingServices services;
    cBusinessBasic* bb = nullptr;
};

TEST_F(ShopDetail, OnePageGivesOneArrayPerEntry) {
    write(4, page(1, 0,
                  {salesEntry("AB12345", "36", -15, -50, 999),
                   remarkEntry("...UNIT NUMBER... U1001"), salesEntry("XY9", "", 29)}));
    auto lines = detailOf(4);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], (Line{"PRT", "AB-12-345" + std::string(11, ' '),
                              "BELT" + std::string(17, ' '), "-1", "-50", "999"}));
    EXPECT_EQ(lines[1][0], "REM");
    EXPECT_NE(lines[1][1].find("U1001"), std::string::npos);
    EXPECT_EQ(lines[1][1].size(), 63u);
    EXPECT_EQ(lines[1][2], "");
    EXPECT_EQ((std::vector<std::string>{lines[1][3], lines[1][4], lines[1][5]}),
              (std::vector<std::string>{"0", "0", "0"}));
    EXPECT_EQ(lines[2][3], "2") << "29 tenths truncate to 2";
    EXPECT_TRUE(services.events.empty());
}

TEST_F(ShopDetail, PagesAreCollectedFromPageOneUp) {
    write(5, page(3, 9, {remarkEntry("P3")}));
    write(9, page(2, -2, {remarkEntry("P2"), remarkEntry("Q2")}));
    write(2, page(1, 0, {remarkEntry("P1")}, 255));  // more entries than the record holds
    auto lines = detailOf(5);
    ASSERT_EQ(lines.size(), 7u) << "page 1 gives the 4 entries it has room for";
    EXPECT_EQ(firstTexts(lines),
              (std::vector<std::string>{"P1", "  ", "  ", "  ", "P2", "Q2", "P3"}));
}

TEST_F(ShopDetail, PageNumberOutsideOneTo200IsAFailure) {
    write(5, page(201, 0, {remarkEntry("P201")}));
    EXPECT_TRUE(detailOf(5, true).empty());
    ASSERT_EQ(services.events.size(), 1u);
    EXPECT_EQ(services.events[0],
              "2009-12-05 : 10:30:00 : clsShopDetail : BuildPage9  Page number 201 of record 5 "
              "is outside 1 to 200  clsShopDetail");

    // Page 0 would take the slot of the highest page number; the pages before it are kept.
    write(6, page(2, 7, {remarkEntry("P2")}));
    write(7, page(0, 2, {remarkEntry("P0")}));
    EXPECT_EQ(firstTexts(detailOf(6, true)), (std::vector<std::string>{"P2"}));
}

TEST_F(ShopDetail, LoopingPageChainStopsAndKeepsThePagesFound) {
    write(5, page(3, 9, {remarkEntry("P3")}));
    write(9, page(2, 5, {remarkEntry("P2")}));
    EXPECT_EQ(firstTexts(detailOf(5, true)), (std::vector<std::string>{"P2", "P3"}));
    ASSERT_EQ(services.events.size(), 1u);
    EXPECT_NE(services.events[0].find("clsShopDetail : BuildPage3021  Page chain returns to "
                                      "record 5"),
              std::string::npos);

    write(9, page(2, 0, {remarkEntry("P2")}));
    EXPECT_EQ(firstTexts(detailOf(5, true)), (std::vector<std::string>{"P2", "P3"}))
        << "a chain ending before page 1";
}

TEST_F(ShopDetail, UnreadableStartRecordEndsTheLookup) {
    EXPECT_TRUE(detailOf(0, true).empty());
    ASSERT_EQ(services.events.size(), 1u);
    EXPECT_EQ(services.events[0],
              "2009-12-05 : 10:30:00 : clsShopDetail : GetDetail81  Illegal Record Number for "
              "File: INVOL and Record:  0  iLreadFile");
}

TEST_F(ShopDetail, SlashReadsAsDashWithoutChangingTheEngineAlphabet) {
    write(4, page(1, 0, {salesEntry("AB/12", "", 10)}));
    auto lines = detailOf(4);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0][1].substr(0, 5), "AB-12");
    EXPECT_EQ(bb->PackingAlphabet(), codec::kPackingAlphabet);
    std::string stored = squeezed("AB/");
    EXPECT_EQ(bb->Ucm(stored), "AB/");
}

TEST_F(ShopDetail, EachLookupStartsAfresh) {
    write(4, page(1, 0, {remarkEntry("A1")}));
    write(6, page(2, 8, {remarkEntry("B2")}));
    write(8, page(1, 0, {remarkEntry("B1")}));
    clsInvDetail lookup(*bb);
    lookup.InvoiceRec(6);
    lookup.GetDetail();
    lookup.InvoiceRec(4);
    lookup.GetDetail();
    EXPECT_EQ(firstTexts(lookup.DetailReturn()), (std::vector<std::string>{"A1"}));
}

}  // namespace
}  // namespace fennick
