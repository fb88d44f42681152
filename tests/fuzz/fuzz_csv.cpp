// The CSV writer over arbitrary cells: the table it writes, read back by a reader of the
// common CSV rules (RFC 4180: quoted fields, doubled quotes, CR LF between records), gives the
// same records with each cell as the spreadsheet guard leaves it, and no cell read back that
// is not a plain number starts like a formula.

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "core/csv.h"
#include "fuzz_share.h"

using namespace fennick;

namespace {

using Records = std::vector<std::vector<std::string>>;

// Reads RFC 4180 text; aborts on text that breaks its rules.
Records readCsv(const std::string& text) {
    Records records;
    std::vector<std::string> record;
    std::string cell;
    bool quoted = false, wasQuoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (quoted) {
            if (c != '"') {
                cell += c;
            } else if (i + 1 < text.size() && text[i + 1] == '"') {
                cell += '"';
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == '"') {
            if (!cell.empty() || wasQuoted) std::abort();
            quoted = wasQuoted = true;
        } else if (c == ',') {
            record.push_back(std::move(cell));
            cell.clear();
            wasQuoted = false;
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            record.push_back(std::move(cell));
            records.push_back(std::move(record));
            record.clear();
            cell.clear();
            wasQuoted = false;
            ++i;
        } else {
            if (wasQuoted || c == '\r' || c == '\n') std::abort();
            cell += c;
        }
    }
    if (quoted || !cell.empty() || !record.empty()) std::abort();
    return records;
}

// An optional minus, digits, and an optional point followed by digits.
bool plainNumber(std::string_view cell) {
    if (!cell.empty() && cell.front() == '-') cell.remove_prefix(1);
    auto digits = [](std::string_view part) {
        return !part.empty() &&
               std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    auto point = cell.find('.');
    if (point == std::string_view::npos) return digits(cell);
    return digits(cell.substr(0, point)) && digits(cell.substr(point + 1));
}

bool formulaStart(const std::string& cell) {
    return !cell.empty() && std::string_view("=+-@").find(cell.front()) != std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    Records records;
    while (!in.empty() && records.size() < 64) {
        std::vector<std::string> record;
        for (std::uint32_t n = in.number(1) % 8 + 1; n > 0; --n)
            record.push_back(in.take(in.number(1) % 32));
        records.push_back(std::move(record));
    }
    Records guarded = records;
    for (auto& record : guarded)
        for (auto& cell : record)
            cell = core::spreadsheetCell(cell);
    const Records read = readCsv(core::csvTable(records));
    if (read != guarded) std::abort();
    for (const auto& record : read)
        for (const auto& cell : record)
            if (formulaStart(cell) && !plainNumber(cell)) std::abort();
    return 0;
}
