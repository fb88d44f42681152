#pragma once
// The lists a user may take into a spreadsheet, as CSV text (csv.h): UTF-8, each cell as the
// window shows it (the dealer's Windows-1252 text up to its first NUL).

#include <string>
#include <vector>

#include "stock_ageing.h"
#include "unit_row.h"

namespace fennick::core {

// The unit grid: the columns it shows (hidden columns left out), the heading row first, then
// `rows` in the order given.
std::string unitsCsv(const std::vector<std::string>& headings, const std::vector<UnitRow>& rows);

// The ageing table (ageingTable), headings first and the "Total" row last.
std::string ageingCsv(const StockAgeing& ageing);

}  // namespace fennick::core
