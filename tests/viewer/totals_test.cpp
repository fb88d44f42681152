#include "viewer/core/totals.h"

#include <gtest/gtest.h>

namespace fennick::viewer {
namespace {

struct Case {
    TotalsBox from;
    const char* cost;
    const char* input;
    std::array<const char*, 3> boxes;  // nullptr: the box is not written
};

TEST(Totals, RecomputesTheOtherTwoBoxes) {
    const Case cases[] = {
        {TotalsBox::ListPrice, "1000.00", "1200.00", {nullptr, "16.67", "200.00"}},
        {TotalsBox::Margin, "1000.00", "20", {"1250.00", nullptr, "250.00"}},
        {TotalsBox::Profit, "1000.00", "500", {"1500.00", "33.33", nullptr}},
        {TotalsBox::ListPrice, "1000.00", "0", {nullptr, "0.00", "-1000.00"}},
        {TotalsBox::Profit, "1000.00", "-1000", {"0.00", "0.00", nullptr}},
        {TotalsBox::Margin, "1000.00", "-25", {"800.00", nullptr, "-200.00"}},
        {TotalsBox::ListPrice, " 1000 ", " 1500. ", {nullptr, "33.33", "500.00"}},
    };
    for (const auto& c : cases) {
        auto result = recomputeTotals(c.from, c.cost, c.input);
        ASSERT_TRUE(result) << c.input;
        for (int b = 0; b < 3; ++b) {
            if (c.boxes[b])
                EXPECT_EQ(result->boxes[b].value_or("(none)"), c.boxes[b]) << c.input << " " << b;
            else
                EXPECT_FALSE(result->boxes[b]) << c.input << " " << b;
        }
        EXPECT_FALSE(result->costIsZero);
    }
}

TEST(Totals, ZeroCostRaisesTheWarning) {
    for (auto from : {TotalsBox::ListPrice, TotalsBox::Margin, TotalsBox::Profit}) {
        auto result = recomputeTotals(from, "0.00", "50");
        ASSERT_TRUE(result);
        EXPECT_TRUE(result->costIsZero);
    }
    EXPECT_EQ(recomputeTotals(TotalsBox::ListPrice, "0.00", "200")->boxes[1], "100.00");
}

TEST(Totals, EntriesThatDoNotComputeGiveNothing) {
    EXPECT_FALSE(recomputeTotals(TotalsBox::Margin, "1000.00", "100"));
    EXPECT_FALSE(recomputeTotals(TotalsBox::Margin, "1000.00", "100.000"));
    EXPECT_FALSE(recomputeTotals(TotalsBox::ListPrice, "1000.00", "12a"));
    EXPECT_FALSE(recomputeTotals(TotalsBox::ListPrice, "1000.00", ""));
    EXPECT_FALSE(recomputeTotals(TotalsBox::Profit, "x", "5"));
    EXPECT_FALSE(recomputeTotals(TotalsBox::Margin, "1e308", "99.9999999"));
    EXPECT_TRUE(recomputeTotals(TotalsBox::Margin, "1000.00", "99.99"));
}

TEST(Totals, ReadingAndWritingNumbers) {
    EXPECT_EQ(readDecimal(" 12.5 "), 12.5);
    EXPECT_EQ(readDecimal("-3"), -3);
    EXPECT_EQ(readDecimal("+4"), 4);
    EXPECT_EQ(readDecimal(".5"), 0.5);
    EXPECT_EQ(readDecimal("5."), 5);
    for (const char* bad : {"", " ", "-", ".", "1.2.3", "1e5", "1,000", "--1", "1 2", "$5"})
        EXPECT_FALSE(readDecimal(bad)) << bad;
    EXPECT_EQ(totalsText(16.666666), "16.67");
    EXPECT_EQ(totalsText(-0.004), "0.00");
    EXPECT_EQ(totalsText(-1234.5), "-1234.50");
    EXPECT_EQ(totalsText(1e20), "100000000000000000000.00");
}

TEST(Totals, KeysTheBoxesAccept) {
    for (char32_t key : {U'0', U'9', U'.', U'-', char32_t{8}})
        EXPECT_TRUE(totalsKeyAccepted(key)) << static_cast<int>(key);
    for (char32_t key : {U'a', U',', U'+', U' ', U'e', char32_t{13}, U'\u00BD'})
        EXPECT_FALSE(totalsKeyAccepted(key)) << static_cast<int>(key);
}

}  // namespace
}  // namespace fennick::viewer
