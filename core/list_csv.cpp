#include "list_csv.h"

#include "cp1252.h"
#include "csv.h"
#include "dealer_text.h"

namespace fennick::core {

namespace {

std::string shown(const std::string& dealerText) {
    return cp1252ToUtf8(upToNul(dealerText));
}

std::vector<std::string> shownColumns(const std::vector<std::string>& cells) {
    std::vector<std::string> out;
    const auto& columns = unitColumns();
    for (std::size_t c = 0; c < cells.size() && c < columns.size(); ++c)
        if (!columns[c].hidden) out.push_back(shown(cells[c]));
    return out;
}

}  // namespace

std::string unitsCsv(const std::vector<std::string>& headings, const std::vector<UnitRow>& rows) {
    std::string out = csvRecord(shownColumns(headings));
    for (const auto& row : rows)
        out += csvRecord(shownColumns(unitCells(row)));
    return out;
}

std::string ageingCsv(const StockAgeing& ageing) {
    auto rows = ageingTable(ageing);
    for (auto& row : rows)
        for (auto& cell : row)
            cell = shown(cell);
    return csvTable(rows);
}

}  // namespace fennick::core
