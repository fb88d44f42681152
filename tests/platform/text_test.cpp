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

struct PrintableCase {
    const char* name;
    std::string text;
    bool keepLineEnds;
    std::string printed;
};

class PrintableText : public ::testing::TestWithParam<PrintableCase> {};

TEST_P(PrintableText, NothingThatDrivesATerminalGetsThrough) {
    EXPECT_EQ(printable(GetParam().text, GetParam().keepLineEnds), GetParam().printed);
}

const std::string kReplaced = "\xEF\xBF\xBD";

INSTANTIATE_TEST_SUITE_P(
    Texts, PrintableText,
    ::testing::Values(PrintableCase{"PlainAndUtf8",
                                    "Br\xC3\xA4"
                                    "ckwater \xE2\x82\xAC \xF0\x9F\x9A\x9C",
                                    false,
                                    "Br\xC3\xA4"
                                    "ckwater \xE2\x82\xAC \xF0\x9F\x9A\x9C"},
                      PrintableCase{"EscapeBellDelete", "R\x1B[2J\x07\x7F", false,
                                    "R" + kReplaced + "[2J" + kReplaced + kReplaced},
                      PrintableCase{"C1Control",
                                    "a\xC2\x9B"
                                    "2Jb",
                                    false, "a" + kReplaced + "2Jb"},
                      PrintableCase{"RawCp1252Csi",
                                    "a\x9B"
                                    "2J",
                                    false, "a" + kReplaced + "2J"},
                      PrintableCase{"BrokenSequences", "\xE2\x82 \xC0\xAF \xED\xA0\x80 \xF5", false,
                                    kReplaced + kReplaced + " " + kReplaced + kReplaced + " " +
                                        kReplaced + kReplaced + kReplaced + " " + kReplaced},
                      PrintableCase{"LineEndsGoWithoutTheFlag", "a\r\nb\tc", false,
                                    "a" + kReplaced + kReplaced + "b" + kReplaced + "c"},
                      PrintableCase{"LineEndsStay", "a\r\nb\nc", true, "a\r\nb\nc"},
                      PrintableCase{"ABareCarriageReturnGoes", "total 9\rtotal 1\r", true,
                                    "total 9" + kReplaced + "total 1" + kReplaced}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace fennick::platform
