#pragma once
// What fennick-cli prints: JSON (UTF-8, via Qt's JSON writer) or aligned text for a person.
// Dealer text arrives in Windows-1252 and is converted here.

#include <string>
#include <vector>

#include "viewer/core/model_tree.h"
#include "viewer/core/unit_detail.h"
#include "viewer/core/unit_list.h"

namespace fennick::cli {

std::string treeJson(const viewer::ModelTreeData& tree);
std::string treeText(const viewer::ModelTreeData& tree);

std::string unitsJson(const std::vector<std::string>& headings,
                      const std::vector<viewer::UnitRow>& rows);
std::string unitsText(const std::vector<std::string>& headings,
                      const std::vector<viewer::UnitRow>& rows);

std::string unitJson(const std::vector<std::string>& captions, const viewer::UnitDetail& detail);
std::string unitText(const std::vector<std::string>& captions, const viewer::UnitDetail& detail);

}  // namespace fennick::cli
