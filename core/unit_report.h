#pragma once
// The unit report: an 80-column fixed-pitch text of the selected unit with a title block, every
// visible column of the unit row under its heading, and the unit's factory options, dealer
// options and attached units. Lines end in CR LF. The text keeps the dealer's Windows-1252
// bytes; the report window and the command-line tool convert it where they show it.

#include <string>
#include <string_view>
#include <vector>

#include "platform/workstation.h"
#include "unit_detail.h"
#include "unit_list.h"

namespace fennick::core {

constexpr std::size_t kReportWidth = 80;
constexpr std::string_view kReportCompany = "Tarnwell Software, Inc.";
constexpr std::string_view kReportTitle = "Detailed Unit Information";

// `value` after width - length blanks (none when it is longer), cut to `width` characters.
std::string rightAligned(std::string_view value, std::size_t width);
// `text` after 40 minus half its length blanks, halves rounded to the even neighbour.
std::string centredLine(std::string_view text);
// The date and time of the title block: the short date, " - " and the 24-hour time.
std::string reportDateTime(const platform::LocalDateTime& now);

// The whole report. `headings` are the unit grid's 30 headings; `row` the selected unit row;
// `grids` the unit's option grids (the plain notes are not printed).
std::string buildUnitReport(const std::vector<std::string>& headings, const UnitRow& row,
                            const NoteGrids& grids, std::string_view dateTime);

}  // namespace fennick::core
