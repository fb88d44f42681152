#include "core/unit_report.h"

#include <gtest/gtest.h>

#include "core/startup.h"

namespace fennick::core {
namespace {

std::vector<std::string> reportLines(const std::string& report) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t at; (at = report.find("\r\n", from)) != std::string::npos; from = at + 2)
        lines.push_back(report.substr(from, at - from));
    EXPECT_EQ(from, report.size()) << "the report ends with a line end";
    return lines;
}

class UnitReport : public ::testing::Test {
  protected:
    UnitReport() {
        row.unit = " U7 ";
        row.make = "v1";
        row.location = std::string("ANNEX \0\x07", 8);  // a text field sharing its last byte
        row.alpha1 = "v16";
        row.alpha2 = "v17";
        row.numeric1 = 18;
        row.cost = Currency::fromCents(123450);
        row.daysInStock = 24;
    }
    std::vector<std::string> headings =
        unitGridHeadings({"User Defined Numeric 1", "Key Tag", "", "Odometer Miles"});
    UnitRow row;
    NoteGrids grids;
};

TEST_F(UnitReport, TitleAndFieldBlock) {
    auto lines = reportLines(buildUnitReport(headings, row, grids, "12/7/2026 - 07:04"));
    ASSERT_EQ(lines.size(), 4u + 25 + 2 + 3);
    EXPECT_EQ(lines[0], std::string(28, ' ') + "Tarnwell Software, Inc.");
    EXPECT_EQ(lines[1], std::string(28, ' ') + "Detailed Unit Information");
    EXPECT_EQ(lines[2], std::string(32, ' ') + "12/7/2026 - 07:04");
    EXPECT_EQ(lines[3], "");
    // The 22 characters of the longest heading set where every heading ends.
    EXPECT_EQ(lines[4], std::string(18, ' ') + "Unit" + " " + " : " + "U7");
    EXPECT_EQ(lines[5], std::string(18, ' ') + "Make  : v1");
    EXPECT_EQ(lines[10], std::string(14, ' ') + "Location  : ANNEX");
    EXPECT_EQ(lines[4 + 16], "User Defined Numeric 1  : v16");
    EXPECT_EQ(lines[4 + 17], std::string(15, ' ') + "Key Tag  : v17");
    EXPECT_EQ(lines[4 + 18], std::string(22, ' ') + "  : 18");
    EXPECT_EQ(lines[4 + 23], std::string(18, ' ') + "Cost  : ABCD.E0");
    EXPECT_EQ(lines[4 + 24], std::string(9, ' ') + "Days in Stock  : 24");
    // Headings of 19 characters or fewer end at position 19.
    auto shorter = reportLines(buildUnitReport(unitGridHeadings({"Key Tag", "", "", ""}), row,
                                               grids, "12/7/2026 - 07:04"));
    EXPECT_EQ(shorter[4], std::string(15, ' ') + "Unit  : U7");
    EXPECT_EQ(shorter[4 + 16], std::string(12, ' ') + "Key Tag  : v16");
    EXPECT_EQ(lines[29], "");
    EXPECT_EQ(lines[30], "");
    EXPECT_EQ(lines[31], "     Options");
    EXPECT_EQ(lines[32], std::string(5 + 16, ' ') + "Code" + "  Qty" + std::string(24, ' ') +
                             "Description" + std::string(11, ' ') + "List");
    EXPECT_EQ(lines[33], "     " + std::string(70, '-'));
}

TEST_F(UnitReport, OptionLinesInGridOrder) {
    grids.factory = {{"CAB ", "2", "Cab", "1500.00"}, {"LDR", "1", "Loader", "x"}};
    grids.dealer = {{"HITCH", "1", std::string(34, 'd') + "E", "99"}};
    grids.attached = {{std::string(22, 'c'), "123456", "Mower", "-5.5"}};
    grids.notes = {"plain notes are not printed"};
    auto lines = reportLines(buildUnitReport(headings, row, grids, "x"));
    ASSERT_EQ(lines.size(), 34u + 4);
    EXPECT_EQ(lines[34], "  F  " + std::string(17, ' ') + "CAB" + std::string(4, ' ') + "2" +
                             std::string(27, ' ') + "Cab" + std::string(5, ' ') +
                             std::string(8, ' ') + "1500.00");
    EXPECT_EQ(lines[35].substr(0, 5), "  F  ");
    EXPECT_EQ(lines[35].substr(75), "    x");
    // Longer than 30: from the field's first position, cut after 33 characters.
    EXPECT_EQ(lines[36], "  D  " + std::string(15, ' ') + "HITCH" + "    1" + std::string(33, 'd') +
                             "  " + std::string(10, ' ') + "99.00");
    EXPECT_EQ(lines[37], "  S  " + std::string(20, 'c') + "12345" + std::string(25, ' ') + "Mower" +
                             std::string(5, ' ') + std::string(10, ' ') + "-5.50");
    for (std::size_t i = 34; i < lines.size(); ++i)
        EXPECT_EQ(lines[i].size(), 80u) << i;
}

TEST(ReportText, AlignmentHelpers) {
    EXPECT_EQ(rightAligned("2", 5), "    2");
    EXPECT_EQ(rightAligned("1500.00", 15), std::string(8, ' ') + "1500.00");
    EXPECT_EQ(rightAligned("abcdef", 3), "abc");
    // 40 minus half the length, halves to the even neighbour.
    EXPECT_EQ(centredLine("abc"), std::string(38, ' ') + "abc");      // 1.5 -> 2
    EXPECT_EQ(centredLine("abcde"), std::string(38, ' ') + "abcde");  // 2.5 -> 2
    EXPECT_EQ(centredLine(std::string(90, 'x')), std::string(90, 'x'));
    EXPECT_EQ(reportDateTime({2026, 12, 7, 7, 4, 59}), "12/7/2026 - 07:04");
}

}  // namespace
}  // namespace fennick::core
