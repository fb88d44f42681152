#pragma once
// The point-of-sale hand-off file "unitexport." + terminal in the CATCON share: fixed-column
// records of plain single-byte text, each ended by one line feed. Short records name a unit
// (single unit or the whole pick list); long records carry the export editing window's rows
// with tax, price and warranty columns. Dealer bytes go into the file unchanged.

#include <array>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/settings.h"
#include "platform/file_system.h"
#include "unit_list.h"

namespace fennick::core {

constexpr std::size_t kShortRecordLength = 66;
constexpr std::size_t kLongRecordLength = 513;

// Where the file goes: the CATCON share, the file in it, and the terminal it is named after.
struct ExportTarget {
    std::string share;
    std::string path;
    std::string terminal;
};
// Named after the terminal of the catalog settings (the system's xTermid).
ExportTarget exportTarget(const cSystem& system);

// How "Add to Invoice" hands units over: the export editing window when the point of sale
// started the program, otherwise the pick list once a unit has been added to it, else the
// selected unit alone.
enum class ExportWay { EditingWindow, SingleUnit, PickList };
ExportWay exportWay(bool fromPointOfSale, bool pickListUsed);

// Line code at 1-3, model at 5-29, unit number at 30-64, blanks elsewhere, line feed at 66.
std::string shortRecord(std::string_view lineCode, std::string_view model,
                        std::string_view unitNumber);
// One short record for a unit row: the line code and model the row was listed with (unlike the
// tree selection, which may have moved since), trailing blanks removed, and its unit number.
// Throws when there is no row.
std::string singleUnitExport(const UnitRow* row);
// One short record per pick-list row, in grid order.
std::string pickListExport(const std::vector<UnitRow>& pickList);

// The export editing grid: 13 columns filled from a pick-list row.
namespace xcol {
constexpr std::size_t kLine = 0, kModel = 1, kUnit = 2, kDescription = 3, kTax = 4, kNet = 5;
constexpr std::size_t kWarrantyPeriod = 6, kExtWarrantyMonths = 7, kPolicyAmount = 8;
constexpr std::size_t kPolicyCost = 9, kDealerList = 10, kSuggestedList = 11, kCodeList = 12;
constexpr std::size_t kCount = 13;
}  // namespace xcol

struct ExportColumn {
    std::string_view heading;
    int widthTwips;
    bool editable;  // the salesperson completes tax, price and warranty figures
    bool hidden;
};
const std::array<ExportColumn, xcol::kCount>& exportColumns();

using ExportGridRow = std::array<std::string, xcol::kCount>;
constexpr std::string_view kTaxTicked = "-1";
constexpr std::string_view kTaxUnticked = "false";
ExportGridRow exportGridRow(const UnitRow& pickRow);

// What is wrong with a typed export cell, or nothing. A money cell (net, policy amount, policy
// cost) takes an amount: digits with at most one point and two decimals, not negative. A month
// cell (warranty period, extended warranty) takes a whole number of months. Every cell that
// goes into the file must fit its field. An empty cell leaves its field blank and is fine.
std::optional<std::string> exportCellProblem(std::size_t column, std::string_view bytes);

// Line 1-5, model 6-30, unit 31-65, "T"/"F" at 66, net 71-90, warranty period 91-95,
// extended warranty months 96-100, policy amount 101-120, policy cost 121-140, blanks up to
// 512, line feed at 513.
std::string longRecord(const ExportGridRow& row);
std::string longRecordExport(const std::vector<ExportGridRow>& rows);

// Replaces the file with `bytes` (platform::replaceFile: the point of sale finds the old file
// or the new one whole, and a link at the name is replaced, never followed). Fails with an
// EngineError when the terminal identifier is not letters and digits alone (it would name a
// file elsewhere), the share is missing, or the file cannot be written; the old file then
// stays as it was.
void writeExportFile(platform::FileSystem& fs, const ExportTarget& target,
                     const std::string& bytes);

constexpr std::string_view kExportTitle = "Export";
constexpr std::string_view kSingleUnitQuestion = "Export file created... exit larkmoor now?";
constexpr std::string_view kPickListQuestion =
    "Multi Item Export File Created... exit larkmoor now?";
// The message of a failed export: error number and description, where it happened, that the
// file could not be created and, when given, which file that was.
std::string exportFailureText(const std::exception& failure, std::string_view path = {});

}  // namespace fennick::core
