#include "unit_row.h"

#include "formats.h"

namespace fennick::core {

namespace {

using Row = const UnitRow&;

// Cell texts and sort values of one field, by member.
template <auto Field>
std::string text(Row r) {
    return r.*Field;
}
template <auto Field>
std::string decimal(Row r) {
    return std::to_string(r.*Field);
}
template <auto Field>
std::int64_t value(Row r) {
    return static_cast<std::int64_t>(r.*Field);
}
template <auto Field>
std::string money(Row r) {
    return moneyText(r.*Field);
}
template <auto Field>
std::int64_t ticks(Row r) {
    return (r.*Field).ticks();
}
std::string received(Row r) {
    return shortDateText(r.received);
}
std::int64_t receivedDay(Row r) {
    return r.received.time_since_epoch().count();
}
std::string meter(Row r) {
    return meterText(r.meterTenths);
}

constexpr auto L = ColumnAlign::Left;
constexpr auto R = ColumnAlign::Right;
constexpr auto kNumber = SortKey::Number;
constexpr auto kText = SortKey::Text;
constexpr bool kShown = false, kHidden = true;
constexpr int kNoName = -1;

// Shown as it is, sorted by its bytes.
template <auto Field>
constexpr UnitColumnInfo textColumn(std::string_view heading, int width = 0, bool hidden = kShown,
                                    int name = kNoName) {
    return {heading, name, width, hidden, L, kText, text<Field>, nullptr};
}
// A whole number: shown in decimal, sorted by value.
template <auto Field>
constexpr UnitColumnInfo numberColumn(std::string_view heading, int width = 0, bool hidden = kShown,
                                      int name = kNoName) {
    return {heading, name, width, hidden, R, kNumber, decimal<Field>, value<Field>};
}
// Money: "#########0.00", sorted by value.
template <auto Field>
constexpr UnitColumnInfo moneyColumn(std::string_view heading) {
    return {heading, kNoName, 0, kShown, R, kNumber, money<Field>, ticks<Field>};
}

const std::array<UnitColumnInfo, kUnitColumns> kColumns = {{
    textColumn<&UnitRow::unit>("Unit", 1200),
    textColumn<&UnitRow::make>("Make", 1800),
    textColumn<&UnitRow::model>("Model", 1800),
    numberColumn<&UnitRow::year>("Year", 1005),
    textColumn<&UnitRow::color>("Color", 1005),
    {"Date Rec", kNoName, 1200, kShown, L, SortKey::Date, received, receivedDay},
    textColumn<&UnitRow::location>("Location", 1800),
    textColumn<&UnitRow::serial>("Serial #"),
    textColumn<&UnitRow::mfgId>("Mfg ID"),
    textColumn<&UnitRow::series>("Series"),
    textColumn<&UnitRow::engineType>("Eng Type"),
    textColumn<&UnitRow::engineId>("Engine ID"),
    textColumn<&UnitRow::driveType>("Drive Type"),
    {"Meter", kNoName, 0, kShown, R, kNumber, meter, value<&UnitRow::meterTenths>},
    textColumn<&UnitRow::status>("Status"),
    textColumn<&UnitRow::unitType>("Unit Type"),
    // The four user-defined names head these in the order FILE0 keeps them.
    textColumn<&UnitRow::alpha1>("", 0, kShown, 0),
    textColumn<&UnitRow::alpha2>("", 0, kShown, 1),
    numberColumn<&UnitRow::numeric1>("", 0, kShown, 2),
    numberColumn<&UnitRow::numeric2>("", 0, kShown, 3),
    textColumn<&UnitRow::description>("Desc"),
    moneyColumn<&UnitRow::suggestedList>("Sugg. List"),
    moneyColumn<&UnitRow::dealerList>("Dlr. List"),
    moneyColumn<&UnitRow::cost>("Cost"),
    numberColumn<&UnitRow::daysInStock>("Days in Stock"),
    numberColumn<&UnitRow::noteChain>("Notechain", 0, kHidden),
    numberColumn<&UnitRow::historyChain>("HistChain", 0, kHidden),
    numberColumn<&UnitRow::subLedgerChain>("Sub Ledger Chain", 0, kHidden),
    textColumn<&UnitRow::lineCode>("xline", 0, kHidden),
    textColumn<&UnitRow::listedModel>("xmodel", 0, kHidden),
}};

}  // namespace

const std::array<UnitColumnInfo, kUnitColumns>& unitColumns() {
    return kColumns;
}

const UnitColumnInfo& unitColumn(UnitColumn column) {
    return kColumns[static_cast<std::size_t>(column)];
}

std::string cellText(const UnitRow& row, UnitColumn column) {
    return unitColumn(column).text(row);
}

std::vector<std::string> unitCells(const UnitRow& row) {
    std::vector<std::string> cells;
    cells.reserve(kUnitColumns);
    for (const auto& column : kColumns)
        cells.push_back(column.text(row));
    return cells;
}

std::vector<std::vector<std::string>> unitCells(const std::vector<UnitRow>& rows) {
    std::vector<std::vector<std::string>> cells;
    cells.reserve(rows.size());
    for (const auto& row : rows)
        cells.push_back(unitCells(row));
    return cells;
}

int compareUnitRows(const UnitRow& a, const UnitRow& b, UnitColumn column) {
    const UnitColumnInfo& info = unitColumn(column);
    if (info.number) {
        std::int64_t x = info.number(a), y = info.number(b);
        return x < y ? -1 : x > y ? 1 : 0;
    }
    return info.text(a).compare(info.text(b));
}

}  // namespace fennick::core
