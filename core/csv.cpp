#include "csv.h"

#include "platform/text.h"

namespace fennick::core {

namespace {

// A number a spreadsheet reads as nothing but a number: an optional minus, digits, and an
// optional point with digits ("-1200.00", "-7").
bool isPlainNumber(std::string_view text) {
    auto number = platform::decimalText(text);
    return number && text.front() != '+' && !number->whole.empty() && text.back() != '.';
}

bool startsFormula(std::string_view text) {
    return !text.empty() &&
           std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
}

// C0 controls but TAB, DEL, and C1 controls (U+0080 to U+009F, C2 80 to C2 9F in UTF-8).
std::string withoutControls(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        auto c = static_cast<unsigned char>(utf8[i]);
        if (c == 0xC2 && i + 1 < utf8.size() &&
            (static_cast<unsigned char>(utf8[i + 1]) & 0xE0) == 0x80) {
            ++i;
            continue;
        }
        if ((c < 0x20 && c != '\t') || c == 0x7F) continue;
        out += utf8[i];
    }
    return out;
}

std::string field(const std::string& text) {
    std::string cell = spreadsheetCell(text);
    if (cell.find_first_of(",\"") == std::string::npos) return cell;
    std::string out = "\"";
    for (char c : cell)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

}  // namespace

std::string spreadsheetCell(std::string_view utf8) {
    std::string cell = withoutControls(utf8);
    if (isPlainNumber(utf8) || !(startsFormula(utf8) || startsFormula(cell))) return cell;
    return "'" + cell;
}

std::string csvRecord(const std::vector<std::string>& fields) {
    std::string out;
    for (std::size_t i = 0; i < fields.size(); ++i)
        out += (i ? "," : "") + field(fields[i]);
    return out + "\r\n";
}

std::string csvTable(const std::vector<std::vector<std::string>>& records) {
    std::string out;
    for (const auto& record : records)
        out += csvRecord(record);
    return out;
}

}  // namespace fennick::core
