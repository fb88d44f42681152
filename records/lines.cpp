#include "records/lines.h"

#include <limits>

#include "records/fields.h"

namespace fennick {

namespace {

using Field = std::int32_t clsLines::*;

// Six pricing definitions of 4 bytes from 51: level (B), use (B), signed percentage (J).
struct PriceDef {
    Field level, use, perc;
};
constexpr PriceDef kPriceDefs[] = {
    {&clsLines::Price_Def_1_Level, &clsLines::Price_Def_1_Use, &clsLines::Price_Def_1_Perc},
    {&clsLines::Price_Def_2_Level, &clsLines::Price_Def_2_Use, &clsLines::Price_Def_2_Perc},
    {&clsLines::Price_Def_3_Level, &clsLines::Price_Def_3_Use, &clsLines::Price_Def_3_Perc},
    {&clsLines::Price_Def_4_Level, &clsLines::Price_Def_4_Use, &clsLines::Price_Def_4_Perc},
    {&clsLines::Price_Def_5_Level, &clsLines::Price_Def_5_Use, &clsLines::Price_Def_5_Perc},
    {&clsLines::Price_Def_6_Level, &clsLines::Price_Def_6_Use, &clsLines::Price_Def_6_Perc},
};

// Four service-policy terms of 3 bytes from 130: months (B), list percentage (C).
struct SerPol {
    Field months, perc;
};
constexpr SerPol kSerPols[] = {
    {&clsLines::SerPol_No_Months_1, &clsLines::SerPol_List_Perc_1},
    {&clsLines::SerPol_No_Months_2, &clsLines::SerPol_List_Perc_2},
    {&clsLines::SerPol_No_Months_3, &clsLines::SerPol_List_Perc_3},
    {&clsLines::SerPol_No_Months_4, &clsLines::SerPol_List_Perc_4},
};

bool fitsLong(std::int64_t v) {
    return v >= std::numeric_limits<std::int32_t>::min() &&
           v <= std::numeric_limits<std::int32_t>::max();
}

std::string normalLineType(const std::string& stored) {
    return stored == "U" || stored == "R" ? stored : "P";
}

}  // namespace

void clsLines::Unpack(std::string_view Rec) {
    records::FieldReader in(Rec);
    in.integer("C", 3, Line);
    Alpha_Line = in.compressed(5, 2);
    Line_Name = in.compressed(7, 20);
    Auto_Order = in.text(27, 1);
    Comodity = in.text(28, 1);
    readComodities();
    in.integer("B", 29, Distributor_Number);
    in.integer("C", 33, Stock_Depth);
    in.integer("C", 35, Re_Order_Percent);
    in.integer("C", 37, Low_GP_Waring_Perc);
    Sequencing_ANAN = in.text(39, 6);
    Sequencing_Prior = in.text(45, 6);
    std::int32_t at = 51;
    for (const auto& def : kPriceDefs) {
        in.integer("B", at, this->*def.level);
        in.integer("B", at + 1, this->*def.use);
        in.integer("J", at + 2, this->*def.perc);
        at += 4;
    }
    unpackCounters(Rec);
}

// Positions 75 to 222: costs, sales statistics, service-policy terms and seasonal figures.
void clsLines::unpackCounters(std::string_view Rec) {
    records::FieldReader in(Rec);
    in.money(75, Cost_of_Mdse);
    in.money(79, Cost_of_Freight);
    in.integer("L", 83, MTD_No_Sales);
    in.money(87, MTD_Sales);
    in.money(91, MTD_COGS);
    if (auto v = in.value("L", 95); v && fitsLong(std::int64_t{*v} + MTD_No_Sales))
        YTD_No_Sales = *v + MTD_No_Sales;
    if (auto v = in.value("L", 99)) YTD_Sales = Currency::fromCents(*v) + MTD_Sales;
    if (auto v = in.value("L", 103)) YTD_COGS = Currency::fromCents(*v) + MTD_COGS;
    in.integer("L", 107, PYTD_No_Sales);
    in.money(111, PYTD_Sales);
    in.money(115, PYTD_COGS);
    in.integer("C", 119, Default_Cost_GP);
    Taxable = in.text(121, 1);
    in.integer("C", 122, Default_Frt_Markup);
    ReCalculateMax = in.text(124, 1) == "Y";
    in.integer("C", 125, High_Stock_Amount);
    DataBase_Name = in.compressed(127, 2);
    in.integer("B", 129, Warranty);
    std::int32_t at = 130;
    for (const auto& term : kSerPols) {
        in.integer("B", at, this->*term.months);
        in.integer("C", at + 1, this->*term.perc);
        at += 3;
    }
    Line_Type = normalLineType(in.text(142, 1));
    in.integer("L", 143, Unit_Counter);
    in.integer("B", 147, A_P_Company);
    in.integer("L", 148, A_P_Vendor);
    in.integer("J", 152, MTD_Items_Ordered);
    in.integer("J", 154, MTD_Items_Filled);
    in.integer("K", 156, MTD_Pieces_Ordered);
    in.integer("K", 159, MTD_Pieces_Filled);
    in.integer("L", 162, MTD_Dollars_Ord);
    in.integer("L", 166, MTD_Dollars_Filled);
    in.integer("K", 170, YTD_Items_Ordered);
    in.integer("K", 173, YTD_Items_Filled);
    in.integer("L", 176, YTD_Pieces_Ordered);
    in.integer("L", 180, YTD_Pieces_Filled);
    in.integer("L", 184, YTD_Dollars_Ord);
    in.integer("L", 188, YTD_Dollars_Filled);
    in.integer("L", 193, Primary_Vendor);
    Order_Type_Switch = in.text(197, 1);
    in.integer("B", 198, Seas_percentage);
    Seas_ReOrder_Codes = in.text(203, 5);
    in.date(205, Seas_Date_Last_Gen);
    in.integer("L", 207, EOM_Mdse_Cost);
    in.integer("L", 211, EOM_Freight_Cost);
    in.integer("L", 215, EOY_Mdse_Cost);
    in.integer("L", 219, EOY_Freight_Cost);
}

void clsLines::Pack(std::string& Rec) const {
    records::FieldWriter out(Rec);
    out.integer("C", 3, Line);
    out.compressed(5, 2, Alpha_Line);
    out.compressed(7, 20, Line_Name);
    out.text(27, 1, Auto_Order);
    out.text(28, 1, Comodity);
    out.integer("B", 29, Distributor_Number);
    out.integer("C", 33, Stock_Depth);
    out.integer("C", 35, Re_Order_Percent);
    out.integer("C", 37, Low_GP_Waring_Perc);
    out.text(39, 6, Sequencing_ANAN);
    out.text(45, 6, Sequencing_Prior);
    std::int32_t at = 51;
    for (const auto& def : kPriceDefs) {
        out.integer("B", at, this->*def.level);
        out.integer("B", at + 1, this->*def.use);
        out.integer("J", at + 2, this->*def.perc);
        at += 4;
    }
    packCounters(Rec);
}

void clsLines::packCounters(std::string& Rec) const {
    records::FieldWriter out(Rec);
    out.money(75, Cost_of_Mdse);
    out.money(79, Cost_of_Freight);
    out.integer("L", 83, MTD_No_Sales);
    out.money(87, MTD_Sales);
    out.money(91, MTD_COGS);
    if (std::int64_t rest = std::int64_t{YTD_No_Sales} - MTD_No_Sales; fitsLong(rest))
        out.integer("L", 95, static_cast<std::int32_t>(rest));
    out.money(99, YTD_Sales - MTD_Sales);
    out.money(103, YTD_COGS - MTD_COGS);
    out.integer("L", 107, PYTD_No_Sales);
    out.money(111, PYTD_Sales);
    out.money(115, PYTD_COGS);
    out.integer("C", 119, Default_Cost_GP);
    out.text(121, 1, Taxable);
    out.integer("C", 122, Default_Frt_Markup);
    out.text(124, 1, ReCalculateMax ? "Y" : "N");
    out.integer("C", 125, High_Stock_Amount);
    out.compressed(127, 2, DataBase_Name);
    out.integer("B", 129, Warranty);
    std::int32_t at = 130;
    for (const auto& term : kSerPols) {
        out.integer("B", at, this->*term.months);
        out.integer("C", at + 1, this->*term.perc);
        at += 3;
    }
    out.text(142, 1, Line_Type);
    out.integer("L", 143, Unit_Counter);
    out.integer("B", 147, A_P_Company);
    out.integer("L", 148, A_P_Vendor);
    out.integer("J", 152, MTD_Items_Ordered);
    out.integer("J", 154, MTD_Items_Filled);
    out.integer("K", 156, MTD_Pieces_Ordered);
    out.integer("K", 159, MTD_Pieces_Filled);
    out.integer("L", 162, MTD_Dollars_Ord);
    out.integer("L", 166, MTD_Dollars_Filled);
    out.integer("K", 170, YTD_Items_Ordered);
    out.integer("K", 173, YTD_Items_Filled);
    out.integer("L", 176, YTD_Pieces_Ordered);
    out.integer("L", 180, YTD_Pieces_Filled);
    out.integer("L", 184, YTD_Dollars_Ord);
    out.integer("L", 188, YTD_Dollars_Filled);
    out.integer("L", 193, Primary_Vendor);
    out.text(197, 1, Order_Type_Switch);
    out.integer("B", 198, Seas_percentage);
    out.text(203, 5, Seas_ReOrder_Codes);
    out.date(205, Seas_Date_Last_Gen);
    out.integer("L", 207, EOM_Mdse_Cost);
    out.integer("L", 211, EOM_Freight_Cost);
    out.integer("L", 215, EOY_Mdse_Cost);
    out.integer("L", 219, EOY_Freight_Cost);
}

}  // namespace fennick
