#pragma once
// Comma-separated values as spreadsheets read them: one record per line ending in CR LF, a
// field quoted when it holds a comma, a quote or a line break, quotes inside doubled.

#include <string>
#include <vector>

namespace fennick::core {

std::string csvRecord(const std::vector<std::string>& fields);
std::string csvTable(const std::vector<std::vector<std::string>>& records);

}  // namespace fennick::core
