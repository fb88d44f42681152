#pragma once
// Comma-separated values as spreadsheets read them: one record per line ending in CR LF, a
// field quoted when it holds a comma or a quote, quotes inside doubled. Cells are guarded
// (spreadsheetCell) so that no text from the dealer's files is taken for a formula.

#include <string>
#include <string_view>
#include <vector>

namespace fennick::core {

// A UTF-8 cell as it may go into a spreadsheet: control characters other than TAB are dropped
// (C0, DEL and C1), and a cell that is not a plain number (an optional minus, digits, an
// optional point with digits: "-1200.00") but starts with "=", "+", "-", "@", TAB or CR gets a
// leading "'", so that the spreadsheet shows it as text instead of running it as a formula.
std::string spreadsheetCell(std::string_view utf8);

std::string csvRecord(const std::vector<std::string>& fields);
std::string csvTable(const std::vector<std::vector<std::string>>& records);

}  // namespace fennick::core
