#include "export_file.h"

#include <algorithm>

#include "platform/text.h"

#include "dealer_text.h"
#include "engine/codec.h"
#include "engine/error.h"

namespace fennick::core {

namespace {

struct Field {
    std::size_t position;  // 1-based
    std::size_t width;
};

constexpr Field kShortLine{1, 3}, kShortModel{5, 25}, kShortUnit{30, 35};

// Long-record fields in the order of the grid columns they come from.
constexpr std::array<std::pair<std::size_t, Field>, 9> kLongFields = {{
    {xcol::kLine, {1, 5}},
    {xcol::kModel, {6, 25}},
    {xcol::kUnit, {31, 35}},
    {xcol::kTax, {66, 5}},
    {xcol::kNet, {71, 20}},
    {xcol::kWarrantyPeriod, {91, 5}},
    {xcol::kExtWarrantyMonths, {96, 5}},
    {xcol::kPolicyAmount, {101, 20}},
    {xcol::kPolicyCost, {121, 20}},
}};

// A record of blanks ended by a line feed.
std::string blankRecord(std::size_t length) {
    std::string record(length - 1, ' ');
    record += '\n';
    return record;
}

void put(std::string& record, Field field, std::string_view value) {
    overwrite(record, field.position, value.substr(0, field.width));
}

}  // namespace

ExportTarget exportTarget(const cSystem& system) {
    std::string share = system.CATCON();
    std::string path = share;
    if (path.empty() || path.back() != '\\') path += '\\';
    return {share, path + "unitexport." + system.xTermid, system.xTermid};
}

ExportWay exportWay(bool fromPointOfSale, bool pickListUsed) {
    if (fromPointOfSale) return ExportWay::EditingWindow;
    return pickListUsed ? ExportWay::PickList : ExportWay::SingleUnit;
}

std::string shortRecord(std::string_view lineCode, std::string_view model,
                        std::string_view unitNumber) {
    std::string record = blankRecord(kShortRecordLength);
    put(record, kShortLine, lineCode);
    put(record, kShortModel, model);
    put(record, kShortUnit, unitNumber);
    return record;
}

std::string singleUnitExport(const UnitRow* row) {
    if (!row) throw EngineError(err::kShare, "Add to Invoice", "No unit selected");
    return shortRecord(codec::trun(row->lineCode), codec::trun(row->listedModel), row->unit);
}

std::string pickListExport(const std::vector<UnitRow>& pickList) {
    std::string bytes;
    for (const auto& row : pickList)
        bytes += shortRecord(row.lineCode, row.listedModel, row.unit);
    return bytes;
}

const std::array<ExportColumn, xcol::kCount>& exportColumns() {
    static const std::array<ExportColumn, xcol::kCount> columns = {{
        {"Line", 960, false, false},
        {"Model", 1500, false, false},
        {"Unit #", 1500, false, false},
        {"Description", 1800, false, false},
        {"Tax", 705, true, false},
        {"Net", 1200, true, false},
        {"Warr. Period", 1200, true, false},
        {"Ext Warr Mo.", 1200, true, false},
        {"Policy Amt.", 1200, true, false},
        {"Policy Cost", 1200, true, false},
        {"Dealer List", 1200, false, false},
        {"Sugg. List", 1200, false, false},
        {"Code List", 1200, false, true},
    }};
    return columns;
}

ExportGridRow exportGridRow(const UnitRow& pickRow) {
    ExportGridRow row;
    row[xcol::kLine] = pickRow.lineCode;
    row[xcol::kModel] = pickRow.listedModel;
    row[xcol::kUnit] = pickRow.unit;
    row[xcol::kDescription] = pickRow.description;
    row[xcol::kTax] = std::string(kTaxUnticked);
    row[xcol::kNet] = cellText(pickRow, UnitColumn::DealerList);
    row[xcol::kDealerList] = cellText(pickRow, UnitColumn::DealerList);
    row[xcol::kSuggestedList] = cellText(pickRow, UnitColumn::SuggestedList);
    return row;
}

namespace {

bool isMoneyColumn(std::size_t column) {
    return column == xcol::kNet || column == xcol::kPolicyAmount || column == xcol::kPolicyCost;
}

bool isMonthColumn(std::size_t column) {
    return column == xcol::kWarrantyPeriod || column == xcol::kExtWarrantyMonths;
}

std::optional<std::string> amountProblem(std::string_view bytes) {
    const auto amount = platform::decimalText(bytes);
    if (!amount) return "is not an amount: digits with at most one point";
    if (amount->negative) return "is negative";
    if (amount->fraction.size() > 2) return "has more than two decimals";
    return std::nullopt;
}

}  // namespace

std::optional<std::string> exportCellProblem(std::size_t column, std::string_view bytes) {
    if (bytes.empty() || column == xcol::kTax) return std::nullopt;
    if (isMoneyColumn(column))
        if (auto problem = amountProblem(bytes)) return problem;
    if (isMonthColumn(column) && bytes.find_first_not_of("0123456789") != std::string_view::npos)
        return "is not a whole number of months";
    for (const auto& [fieldColumn, field] : kLongFields)
        if (fieldColumn == column && bytes.size() > field.width)
            return "is longer than its " + std::to_string(field.width) + " characters";
    return std::nullopt;
}

std::string longRecord(const ExportGridRow& row) {
    std::string record = blankRecord(kLongRecordLength);
    for (const auto& [column, field] : kLongFields) {
        std::string_view value = row[column];
        if (column == xcol::kTax) value = value == kTaxTicked ? "T" : "F";
        put(record, field, value);
    }
    return record;
}

std::string longRecordExport(const std::vector<ExportGridRow>& rows) {
    std::string bytes;
    bytes.reserve(rows.size() * kLongRecordLength);
    for (const auto& row : rows)
        bytes += longRecord(row);
    return bytes;
}

namespace {

bool lettersAndDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    });
}

}  // namespace

void writeExportFile(platform::FileSystem& fs, const ExportTarget& target,
                     const std::string& bytes) {
    if (!lettersAndDigits(target.terminal))
        throw EngineError(err::kBadFileName, "Add to Invoice",
                          "The terminal identifier \"" + target.terminal +
                              "\" of the settings file may hold only letters and digits");
    if (!fs.isDirectory(target.share))
        throw EngineError(err::kPathNotFound, "Add to Invoice", "Path not found");
    try {
        platform::replaceFile(fs, target.path, bytes);
    } catch (const platform::IoError& failure) {
        throw EngineError(err::kDeviceIo, "Add to Invoice", failure.what());
    }
}

std::string exportFailureText(const std::exception& failure, std::string_view path) {
    const std::string crlf = "\r\n";
    std::int32_t number = err::kDeviceIo;
    std::string description = failure.what();
    if (auto* engine = dynamic_cast<const EngineError*>(&failure)) {
        number = engine->number();
        description = engine->description();
    }
    return " Error " + std::to_string(number) + "  " + description + crlf +
           " in Add to Invoice function" + crlf + crlf + "Could not create Export file." +
           (path.empty() ? std::string() : crlf + std::string(path));
}

}  // namespace fennick::core
