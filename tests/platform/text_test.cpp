#include <gtest/gtest.h>

#include <optional>

#include "platform/text.h"

namespace fennick::platform {
namespace {

struct NumberCase {
    const char* text;
    std::optional<std::int32_t> leading;  // leadingNumber's value
    std::optional<std::int32_t> whole;    // wholeNumber's value
};

class NumberText : public ::testing::TestWithParam<NumberCase> {};

TEST_P(NumberText, ReadsSignDigitsAndRange) {
    const NumberCase& c = GetParam();
    auto leading = leadingNumber(c.text);
    EXPECT_EQ(leading ? std::optional(leading->value) : std::nullopt, c.leading);
    EXPECT_EQ(wholeNumber(c.text), c.whole);
}

INSTANTIATE_TEST_SUITE_P(Texts, NumberText,
                         ::testing::Values(NumberCase{"445", 445, 445},
                                           NumberCase{" \t-12", -12, -12}, NumberCase{"+7", 7, 7},
                                           NumberCase{"12ab", 12, std::nullopt},
                                           NumberCase{"445 ", 445, std::nullopt},
                                           NumberCase{"", {}, {}}, NumberCase{"  ", {}, {}},
                                           NumberCase{"-", {}, {}}, NumberCase{"+-5", {}, {}},
                                           NumberCase{"2147483647", 2147483647, 2147483647},
                                           NumberCase{"-2147483648", INT32_MIN, INT32_MIN},
                                           NumberCase{"2147483648", {}, {}},
                                           NumberCase{"99999999999999999999", {}, {}}));

TEST(TrimBlanks, OnlyTheGivenCharactersAtEitherEnd) {
    EXPECT_EQ(trimBlanks("  a b  "), "a b");
    EXPECT_EQ(trimBlanks("\t a \t"), "\t a \t");
    EXPECT_EQ(trimBlanks("\t a \r\n", kWhiteSpace), "a");
    EXPECT_EQ(trimBlanks("   "), "");
}

}  // namespace
}  // namespace fennick::platform
