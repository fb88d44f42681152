#include <gtest/gtest.h>

#include <random>

#include "core/cp1252.h"
#include "core/dealer_text.h"
#include "core/formats.h"
#include "core/pattern_set.h"

namespace fennick::core {
namespace {

TEST(Formats, MeterInTenths) {
    EXPECT_EQ(meterText(12345), "1234.5");
    EXPECT_EQ(meterText(100), "10.");
    EXPECT_EQ(meterText(5), ".5");
    EXPECT_EQ(meterText(0), ".");
    EXPECT_EQ(meterText(16777215), "1677721.5");
}

TEST(Formats, CostLetterCode) {
    EXPECT_EQ(costLetterCode("1234.50"), "ABCD.E0");
    EXPECT_EQ(costLetterCode("0.00"), "0.00");
    EXPECT_EQ(costLetterCode("109.00"), "A0I.00");
    EXPECT_EQ(costLetterCode("9876.54"), "IHGF.ED");
    EXPECT_EQ(costLetterCode("-25.00"), "-BE.00");  // the sign stays a sign
}

TEST(Formats, DatesAndDays) {
    using namespace std::chrono;
    EXPECT_EQ(shortDateText(sys_days{year{2009} / 12 / 5}), "12/5/2009");
    EXPECT_EQ(shortDateText(codec::kEmptyDate), "1/1/1968");
    Date today = sys_days{year{2025} / 3 / 1};
    EXPECT_EQ(daysBetween(today, today), 0);
    EXPECT_EQ(daysBetween(sys_days{year{2025} / 2 / 28}, today), 1);
    EXPECT_EQ(daysBetween(sys_days{year{2024} / 3 / 1}, today), 365);
    EXPECT_EQ(daysBetween(today + days(2), today), -2);
}

TEST(Text, OverwriteKeepsTheLength) {
    std::string tag(10, ' ');
    overwrite(tag, 1, "AB");  // a two-character code leaves position 3 blank
    overwrite(tag, 4, "MODEL NUMBER TOO LONG");
    EXPECT_EQ(tag, "AB MODEL N");
    overwrite(tag, 11, "X");
    EXPECT_EQ(tag, "AB MODEL N");
}

TEST(Text, ContainsAndCodePage) {
    EXPECT_TRUE(containsText("A12B", "12"));
    EXPECT_FALSE(containsText("a12b", "A12"));
    EXPECT_TRUE(containsText("0", ""));
    EXPECT_FALSE(containsText("", ""));
    EXPECT_EQ(cp1252ToUtf8("Caf\xE9 \x80\x81"), "Caf\xC3\xA9 \xE2\x82\xAC\xC2\x81");
    EXPECT_EQ(trimBlanks("  a b  "), "a b");
}

// The multi-pattern search must agree with searching each pattern on its own.
TEST(PatternSet, AgreesWithPlainSearch) {
    std::mt19937 rng(7);
    // Texts also hold characters no pattern has, a byte above 127 among them.
    auto word = [&](std::size_t max, std::string_view letters = "AB12") {
        std::string w(1 + rng() % max, ' ');
        for (char& c : w)
            c = letters[rng() % letters.size()];
        return w;
    };
    for (int round = 0; round < 200; ++round) {
        std::vector<std::string> patterns;
        for (int i = 0; i < 12; ++i)
            patterns.push_back(word(5));
        patterns.push_back("");
        std::vector<bool> found(patterns.size(), false);
        std::vector<bool> expected(patterns.size(), false);
        PatternSet set(patterns);
        for (int t = 0; t < 6; ++t) {
            std::string text = word(16, "AB12x\xC9");
            set.markIn(text, found);
            for (std::size_t p = 0; p + 1 < patterns.size(); ++p)
                if (text.find(patterns[p]) != std::string::npos) expected[p] = true;
        }
        ASSERT_EQ(found, expected) << "round " << round;
    }
}

}  // namespace
}  // namespace fennick::core
