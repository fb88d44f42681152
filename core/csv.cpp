#include "csv.h"

namespace fennick::core {

namespace {

std::string field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (char c : text)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

}  // namespace

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
