#include <limits>

#include "records/lines.h"

namespace fennick {

using namespace records;
using C = clsLines;

namespace {

bool fitsLong(std::int64_t v) {
    return v >= std::numeric_limits<std::int32_t>::min() &&
           v <= std::numeric_limits<std::int32_t>::max();
}

// Year-to-date figures are stored without the month to date and held with it.
void unpackYearCount(C& c, const FieldReader& in, const Slot& slot) {
    if (auto v = in.value(slot.kind, slot.position);
        v && fitsLong(std::int64_t{*v} + c.MTD_No_Sales))
        c.YTD_No_Sales = *v + c.MTD_No_Sales;
}

void packYearCount(const C& c, FieldWriter& out, const Slot& slot) {
    if (std::int64_t rest = std::int64_t{c.YTD_No_Sales} - c.MTD_No_Sales; fitsLong(rest))
        out.integer(slot.kind, slot.position, static_cast<std::int32_t>(rest));
}

template <Currency C::*Year, Currency C::*Month>
void unpackYearMoney(C& c, const FieldReader& in, const Slot& slot) {
    if (auto v = in.value(slot.kind, slot.position)) c.*Year = Currency::fromCents(*v) + c.*Month;
}

template <Currency C::*Year, Currency C::*Month>
void packYearMoney(const C& c, FieldWriter& out, const Slot& slot) {
    out.money(slot.position, c.*Year - c.*Month);
}

template <Currency C::*Year, Currency C::*Month>
constexpr Codec<C> yearMoney{unpackYearMoney<Year, Month>, packYearMoney<Year, Month>};

void unpackYesNo(C& c, const FieldReader& in, const Slot& slot) {
    c.ReCalculateMax = in.text(slot.position, slot.width) == "Y";
}

void packYesNo(const C& c, FieldWriter& out, const Slot& slot) {
    out.text(slot.position, slot.width, c.ReCalculateMax ? "Y" : "N");
}

// "U" and "R" as stored; any other type reads as "P".
void unpackLineType(C& c, const FieldReader& in, const Slot& slot) {
    std::string stored = in.text(slot.position, slot.width);
    c.Line_Type = stored == "U" || stored == "R" ? stored : "P";
}

void packLineType(const C& c, FieldWriter& out, const Slot& slot) {
    out.text(slot.position, slot.width, c.Line_Type);
}

constexpr Field<C> kLayout[] = {
    integer("Line", 3, Int::U16, member<&C::Line>),
    text("Alpha_Line", 5, 2, Encoding::Compressed, member<&C::Alpha_Line>),
    text("Line_Name", 7, 20, Encoding::Compressed, member<&C::Line_Name>),
    text("Auto_Order", 27, 1, Encoding::Text, member<&C::Auto_Order>),
    text("Comodity", 28, 1, Encoding::Text, member<&C::Comodity>),
    integer("Distributor_Number", 29, Int::U8, member<&C::Distributor_Number>),
    integer("Stock_Depth", 33, Int::U16, member<&C::Stock_Depth>),
    integer("Re_Order_Percent", 35, Int::U16, member<&C::Re_Order_Percent>),
    integer("Low_GP_Waring_Perc", 37, Int::U16, member<&C::Low_GP_Waring_Perc>),
    text("Sequencing_ANAN", 39, 6, Encoding::Text, member<&C::Sequencing_ANAN>),
    text("Sequencing_Prior", 45, 6, Encoding::Text, member<&C::Sequencing_Prior>),
    integer("Price_Def_1_Level", 51, Int::U8, member<&C::Price_Def_1_Level>),
    integer("Price_Def_1_Use", 52, Int::U8, member<&C::Price_Def_1_Use>),
    integer("Price_Def_1_Perc", 53, Int::S16, member<&C::Price_Def_1_Perc>),
    integer("Price_Def_2_Level", 55, Int::U8, member<&C::Price_Def_2_Level>),
    integer("Price_Def_2_Use", 56, Int::U8, member<&C::Price_Def_2_Use>),
    integer("Price_Def_2_Perc", 57, Int::S16, member<&C::Price_Def_2_Perc>),
    integer("Price_Def_3_Level", 59, Int::U8, member<&C::Price_Def_3_Level>),
    integer("Price_Def_3_Use", 60, Int::U8, member<&C::Price_Def_3_Use>),
    integer("Price_Def_3_Perc", 61, Int::S16, member<&C::Price_Def_3_Perc>),
    integer("Price_Def_4_Level", 63, Int::U8, member<&C::Price_Def_4_Level>),
    integer("Price_Def_4_Use", 64, Int::U8, member<&C::Price_Def_4_Use>),
    integer("Price_Def_4_Perc", 65, Int::S16, member<&C::Price_Def_4_Perc>),
    integer("Price_Def_5_Level", 67, Int::U8, member<&C::Price_Def_5_Level>),
    integer("Price_Def_5_Use", 68, Int::U8, member<&C::Price_Def_5_Use>),
    integer("Price_Def_5_Perc", 69, Int::S16, member<&C::Price_Def_5_Perc>),
    integer("Price_Def_6_Level", 71, Int::U8, member<&C::Price_Def_6_Level>),
    integer("Price_Def_6_Use", 72, Int::U8, member<&C::Price_Def_6_Use>),
    integer("Price_Def_6_Perc", 73, Int::S16, member<&C::Price_Def_6_Perc>),
    money("Cost_of_Mdse", 75, member<&C::Cost_of_Mdse>),
    money("Cost_of_Freight", 79, member<&C::Cost_of_Freight>),
    integer("MTD_No_Sales", 83, Int::S32, member<&C::MTD_No_Sales>),
    money("MTD_Sales", 87, member<&C::MTD_Sales>),
    money("MTD_COGS", 91, member<&C::MTD_COGS>),
    custom<C>("YTD_No_Sales", 95, 4, {unpackYearCount, packYearCount}, Int::S32),
    custom<C>("YTD_Sales", 99, 4, yearMoney<&C::YTD_Sales, &C::MTD_Sales>, Int::S32),
    custom<C>("YTD_COGS", 103, 4, yearMoney<&C::YTD_COGS, &C::MTD_COGS>, Int::S32),
    integer("PYTD_No_Sales", 107, Int::S32, member<&C::PYTD_No_Sales>),
    money("PYTD_Sales", 111, member<&C::PYTD_Sales>),
    money("PYTD_COGS", 115, member<&C::PYTD_COGS>),
    integer("Default_Cost_GP", 119, Int::U16, member<&C::Default_Cost_GP>),
    text("Taxable", 121, 1, Encoding::Text, member<&C::Taxable>),
    integer("Default_Frt_Markup", 122, Int::U16, member<&C::Default_Frt_Markup>),
    custom<C>("ReCalculateMax", 124, 1, {unpackYesNo, packYesNo}),
    integer("High_Stock_Amount", 125, Int::U16, member<&C::High_Stock_Amount>),
    text("DataBase_Name", 127, 2, Encoding::Compressed, member<&C::DataBase_Name>),
    integer("Warranty", 129, Int::U8, member<&C::Warranty>),
    integer("SerPol_No_Months_1", 130, Int::U8, member<&C::SerPol_No_Months_1>),
    integer("SerPol_List_Perc_1", 131, Int::U16, member<&C::SerPol_List_Perc_1>),
    integer("SerPol_No_Months_2", 133, Int::U8, member<&C::SerPol_No_Months_2>),
    integer("SerPol_List_Perc_2", 134, Int::U16, member<&C::SerPol_List_Perc_2>),
    integer("SerPol_No_Months_3", 136, Int::U8, member<&C::SerPol_No_Months_3>),
    integer("SerPol_List_Perc_3", 137, Int::U16, member<&C::SerPol_List_Perc_3>),
    integer("SerPol_No_Months_4", 139, Int::U8, member<&C::SerPol_No_Months_4>),
    integer("SerPol_List_Perc_4", 140, Int::U16, member<&C::SerPol_List_Perc_4>),
    custom<C>("Line_Type", 142, 1, {unpackLineType, packLineType}),
    integer("Unit_Counter", 143, Int::S32, member<&C::Unit_Counter>),
    integer("A_P_Company", 147, Int::U8, member<&C::A_P_Company>),
    integer("A_P_Vendor", 148, Int::S32, member<&C::A_P_Vendor>),
    integer("MTD_Items_Ordered", 152, Int::S16, member<&C::MTD_Items_Ordered>),
    integer("MTD_Items_Filled", 154, Int::S16, member<&C::MTD_Items_Filled>),
    integer("MTD_Pieces_Ordered", 156, Int::S24, member<&C::MTD_Pieces_Ordered>),
    integer("MTD_Pieces_Filled", 159, Int::S24, member<&C::MTD_Pieces_Filled>),
    integer("MTD_Dollars_Ord", 162, Int::S32, member<&C::MTD_Dollars_Ord>),
    integer("MTD_Dollars_Filled", 166, Int::S32, member<&C::MTD_Dollars_Filled>),
    integer("YTD_Items_Ordered", 170, Int::S24, member<&C::YTD_Items_Ordered>),
    integer("YTD_Items_Filled", 173, Int::S24, member<&C::YTD_Items_Filled>),
    integer("YTD_Pieces_Ordered", 176, Int::S32, member<&C::YTD_Pieces_Ordered>),
    integer("YTD_Pieces_Filled", 180, Int::S32, member<&C::YTD_Pieces_Filled>),
    integer("YTD_Dollars_Ord", 184, Int::S32, member<&C::YTD_Dollars_Ord>),
    integer("YTD_Dollars_Filled", 188, Int::S32, member<&C::YTD_Dollars_Filled>),
    integer("Primary_Vendor", 193, Int::S32, member<&C::Primary_Vendor>),
    text("Order_Type_Switch", 197, 1, Encoding::Text, member<&C::Order_Type_Switch>),
    integer("Seas_percentage", 198, Int::U8, member<&C::Seas_percentage>),
    text("Seas_ReOrder_Codes", 203, 5, Encoding::Text, member<&C::Seas_ReOrder_Codes>),
    day("Seas_Date_Last_Gen", 205, member<&C::Seas_Date_Last_Gen>),
    integer("EOM_Mdse_Cost", 207, Int::S32, member<&C::EOM_Mdse_Cost>),
    integer("EOM_Freight_Cost", 211, Int::S32, member<&C::EOM_Freight_Cost>),
    integer("EOY_Mdse_Cost", 215, Int::S32, member<&C::EOY_Mdse_Cost>),
    integer("EOY_Freight_Cost", 219, Int::S32, member<&C::EOY_Freight_Cost>),
};
static_assert(fitsRecord(kLayout, C::kRecordLength));

}  // namespace

Layout<C> clsLines::layout() {
    return kLayout;
}

void clsLines::Unpack(std::string_view Rec) {
    unpackFields(layout(), *this, FieldReader(Rec));
    readComodities();
}

}  // namespace fennick
