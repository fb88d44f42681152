#pragma once
// One listed unit as typed values, and the one table of the unit grid's columns: heading,
// width, hidden, alignment, how a value is shown and how the column sorts. The grid, the pick
// list, the command-line tool, the export records, the totals, the hand-offs and the report all
// take their columns from here; no other file knows a column by its number.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/codec.h"
#include "engine/currency.h"

namespace fennick::core {

// Texts are the dealer's Windows-1252 bytes without trailing blanks, except where noted.
struct UnitRow {
    std::string unit, make, model;
    std::int32_t year = 0;
    std::string color;
    Date received = codec::kEmptyDate;
    std::string location, serial, mfgId, series, engineType, engineId, driveType;
    std::int32_t meterTenths = 0;
    std::string status, unitType, alpha1, alpha2;
    std::int32_t numeric1 = 0, numeric2 = 0;
    std::string description;
    Currency suggestedList, dealerList, cost;  // cost: the sum of the unit's sub-ledger
    std::int64_t daysInStock = 0;
    std::int32_t noteChain = 0, historyChain = 0, subLedgerChain = 0;
    // The line code and model the list was loaded with, as given (a model from a tree tag keeps
    // its blanks).
    std::string lineCode, listedModel;
    // The unit's record in the unit file; 0 for a row not read from it.
    std::int32_t record = 0;

    friend bool operator==(const UnitRow&, const UnitRow&) = default;
};

// The grid's columns in grid order.
enum class UnitColumn : std::size_t {
    Unit,
    Make,
    Model,
    Year,
    Color,
    DateReceived,
    Location,
    Serial,
    MfgId,
    Series,
    EngineType,
    EngineId,
    DriveType,
    Meter,
    Status,
    UnitType,
    Alpha1,
    Alpha2,
    Numeric1,
    Numeric2,
    Description,
    SuggestedList,
    DealerList,
    Cost,
    DaysInStock,
    NoteChain,
    HistoryChain,
    SubLedgerChain,
    Line,
    ListedModel,
};
constexpr std::size_t kUnitColumns = 30;

enum class ColumnAlign { Left, Right };
// How a column orders its rows: numbers and dates by value, texts by their bytes.
enum class SortKey { Number, Date, Text };

struct UnitColumnInfo {
    std::string_view heading;  // empty for the four user-defined fields
    int userDefinedName;       // which of the four user-defined names heads it; -1: none
    int widthTwips;            // 0: wide enough for its heading, at least kOtherColumnTwips
    bool hidden;
    ColumnAlign align;
    SortKey sort;
    std::string (*text)(const UnitRow&);     // the cell as the grid shows it
    std::int64_t (*number)(const UnitRow&);  // the value a Number or Date column sorts by
};
constexpr int kOtherColumnTwips = 1200;

const std::array<UnitColumnInfo, kUnitColumns>& unitColumns();
const UnitColumnInfo& unitColumn(UnitColumn column);

// One cell's text, and all 30 in grid order (hidden ones included).
std::string cellText(const UnitRow& row, UnitColumn column);
std::vector<std::string> unitCells(const UnitRow& row);
std::vector<std::vector<std::string>> unitCells(const std::vector<UnitRow>& rows);

// Orders two rows by one column: negative, zero or positive.
int compareUnitRows(const UnitRow& a, const UnitRow& b, UnitColumn column);

}  // namespace fennick::core
