#pragma once
// What fennick-cli prints: JSON (UTF-8, via Qt's JSON writer) with the exact strings, or aligned
// text for a person with each cell as the grid shows it and no control characters. Dealer text
// arrives in Windows-1252 and is converted here.

#include <string>
#include <string_view>
#include <vector>

#include "core/model_tree.h"
#include "core/stock_ageing.h"
#include "core/unit_detail.h"
#include "core/unit_list.h"

namespace fennick::cli {

std::string treeJson(const core::ModelTreeData& tree);
std::string treeText(const core::ModelTreeData& tree);

std::string unitsJson(const std::vector<std::string>& headings,
                      const std::vector<core::UnitRow>& rows);
std::string unitsText(const std::vector<std::string>& headings,
                      const std::vector<core::UnitRow>& rows);

std::string findJson(const std::vector<core::UnitMatch>& matches);
std::string findText(const std::vector<core::UnitMatch>& matches);

std::string ageingJson(const core::StockAgeing& ageing);
std::string ageingText(const core::StockAgeing& ageing);

std::string unitJson(const std::vector<std::string>& captions, const core::UnitDetail& detail);
std::string unitText(const std::vector<std::string>& captions, const core::UnitDetail& detail);

}  // namespace fennick::cli
