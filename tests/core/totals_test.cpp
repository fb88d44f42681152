#include "core/totals.h"

#include <gtest/gtest.h>

namespace fennick::core {
namespace {

TEST(Totals, RecomputesTheOtherTwoBoxes) {
    struct Case {
        TotalsBox from;
        const char *cost, *input;
        std::array<const char*, 3> boxes;  // the entry's own box formatted as the others
    };
    const Case cases[] = {
        {TotalsBox::ListPrice, "1000.00", "1200.00", {"1200.00", "16.67", "200.00"}},
        {TotalsBox::Margin, "1000.00", "20", {"1250.00", "20.00", "250.00"}},
        {TotalsBox::Profit, "1000.00", "500", {"1500.00", "33.33", "500.00"}},
        {TotalsBox::ListPrice, "1000.00", " 0", {"0.00", "0.00", "-1000.00"}},
        {TotalsBox::Margin, " 1000 ", "-25.", {"800.00", "-25.00", "-200.00"}},
        {TotalsBox::ListPrice, "0.00", "200.005", {"200.01", "100.00", "200.01"}},
    };
    for (const auto& c : cases) {
        auto result = recomputeTotals(c.from, c.cost, c.input);
        ASSERT_TRUE(result) << c.input;
        for (int b = 0; b < 3; ++b)
            EXPECT_EQ(result->boxes[b], c.boxes[b]) << c.input;
        EXPECT_EQ(result->costIsZero, std::string(c.cost) == "0.00");
    }
}

TEST(Totals, EntriesThatDoNotComputeGiveNothing) {
    EXPECT_FALSE(recomputeTotals(TotalsBox::Margin, "1000.00", "100.000"));
    EXPECT_FALSE(recomputeTotals(TotalsBox::Profit, "x", "5"));
    EXPECT_FALSE(recomputeTotals(TotalsBox::Margin, "1e308", "99.9999999"));
    for (const char* bad : {"", " ", "-", ".", "1.2.3", "1e5", "1,000", "--1", "12a"})
        EXPECT_FALSE(recomputeTotals(TotalsBox::ListPrice, "1000.00", bad)) << bad;
    EXPECT_EQ(readDecimal("+4"), 4);
    EXPECT_EQ(readDecimal(".5"), 0.5);
    EXPECT_EQ(totalsText(-0.004), "0.00");
    EXPECT_EQ(totalsText(1e20), "100000000000000000000.00");
}

}  // namespace
}  // namespace fennick::core
