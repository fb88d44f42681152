#include "unit_report.h"

#include <algorithm>

#include "dealer_text.h"
#include "engine/currency.h"
#include "formats.h"

namespace fennick::core {

namespace {

const std::string kCrLf = "\r\n";
constexpr std::size_t kHeadingWidth = 19;        // headings end at position 19 of 20 ...
constexpr std::size_t kDescriptionWidth = 30;    // descriptions right-aligned in 30 of 35
constexpr std::size_t kLongDescriptionCut = 33;  // a longer one fills the field up to here
const std::string kIndent(5, ' ');

// A cell as the windows show it (up to its first NUL byte), without blanks around it.
std::string cell(const std::vector<std::string>& cells, std::size_t column) {
    if (column >= cells.size()) return {};
    return std::string(trimBlanks(upToNul(cells[column])));
}

std::string leftInField(std::string_view value, std::size_t cut, std::size_t width) {
    std::string field(value.substr(0, cut));
    field.resize(width, ' ');
    return field;
}

std::string descriptionField(std::string_view description) {
    if (description.size() > kDescriptionWidth)
        return leftInField(description, kLongDescriptionCut, 35);
    return rightAligned(description, kDescriptionWidth) + std::string(5, ' ');
}

// List prices print in the money format; a cell that is no number prints as it is.
std::string listText(const std::string& trimmed) {
    auto value = Currency::parse(trimmed);
    return value ? value->format() : trimmed;
}

// ... unless a heading is longer: then every heading ends where the longest does, so that each
// is printed whole and the colons still line up.
std::size_t headingWidth(const std::vector<std::string>& headings) {
    std::size_t width = kHeadingWidth;
    for (std::size_t c = 0; c < kUnitColumns; ++c)
        if (!unitColumn(static_cast<UnitColumn>(c)).hidden)
            width = std::max(width, cell(headings, c).size());
    return width;
}

// Every column the grid shows, the cost in letter code.
void appendFieldBlock(std::string& out, const std::vector<std::string>& headings,
                      const UnitRow& row) {
    const std::size_t width = headingWidth(headings);
    for (std::size_t c = 0; c < kUnitColumns; ++c) {
        const auto column = static_cast<UnitColumn>(c);
        if (unitColumn(column).hidden) continue;
        std::string value(trimBlanks(upToNul(cellText(row, column))));
        if (column == UnitColumn::Cost) value = costLetterCode(value);
        out += rightAligned(cell(headings, c), width) + " " + " : " + value + kCrLf;
    }
}

void appendOptionLines(std::string& out, std::string_view marker,
                       const std::vector<std::vector<std::string>>& grid) {
    for (const auto& option : grid)
        out += std::string(marker) + rightAligned(cell(option, 0), 20) +
               rightAligned(cell(option, 1), 5) + descriptionField(cell(option, 2)) +
               rightAligned(listText(cell(option, 3)), 15) + kCrLf;
}

void appendOptions(std::string& out, const NoteGrids& grids) {
    out += kIndent + "Options" + kCrLf;
    out += kIndent + rightAligned("Code", 20) + rightAligned("Qty", 5) +
           rightAligned("Description", 35) + rightAligned("List", 15) + kCrLf;
    out += kIndent + std::string(70, '-') + kCrLf;
    appendOptionLines(out, "  F  ", grids.factory);
    appendOptionLines(out, "  D  ", grids.dealer);
    appendOptionLines(out, "  S  ", grids.attached);
}

std::string twoDigits(int value) {
    return (value < 10 ? "0" : "") + std::to_string(value);
}

}  // namespace

std::string rightAligned(std::string_view value, std::size_t width) {
    std::string out(width > value.size() ? width - value.size() : 0, ' ');
    out += value;
    return out.substr(0, width);
}

std::string centredLine(std::string_view text) {
    // 40 - len/2 rounded half to even; 40 is even, so this is 40 - round(len/2) as well.
    std::size_t half = text.size() / 2;
    if (text.size() % 2 == 1 && half % 2 == 1) ++half;
    std::size_t blanks = half >= kReportWidth / 2 ? 0 : kReportWidth / 2 - half;
    return std::string(blanks, ' ') + std::string(text);
}

std::string reportDateTime(const platform::LocalDateTime& now) {
    Date date{std::chrono::year{now.year} / now.month / now.day};
    return shortDateText(date) + " - " + twoDigits(now.hour) + ":" + twoDigits(now.minute);
}

std::string buildUnitReport(const std::vector<std::string>& headings, const UnitRow& row,
                            const NoteGrids& grids, std::string_view dateTime) {
    std::string out;
    out += centredLine(kReportCompany) + kCrLf;
    out += centredLine(kReportTitle) + kCrLf;
    out += centredLine(dateTime) + kCrLf;
    out += kCrLf;
    appendFieldBlock(out, headings, row);
    out += kCrLf + kCrLf;
    appendOptions(out, grids);
    return out;
}

}  // namespace fennick::core
