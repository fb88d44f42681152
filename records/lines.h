#pragma once
// clsLines: a product line, split over the LINEL record and the ELINEL record of the same
// number and unpacked from their concatenation (the layout runs to position 222). Year-to-date
// figures are stored without the current month and held in memory with it. Comodities lists
// the line's own commodity code and then its further codes from the keyed file COMODI.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/business_basic.h"
#include "engine/currency.h"
#include "records/layout.h"

namespace fennick {

class clsLines {
  public:
    // Opens LINEL and ELINEL through the engine, which must outlive the object.
    explicit clsLines(cBusinessBasic& engine);

    std::int32_t Line = 0;
    std::string Alpha_Line;
    std::vector<std::string> AlternateAlpha;  // not part of the record
    std::string Line_Name;
    std::string Auto_Order;
    std::string Comodity;
    std::vector<std::string> Comodities;  // built from COMODI by Unpack; never packed
    std::int32_t Distributor_Number = 0;
    std::int32_t Stock_Depth = 0;
    std::int32_t Re_Order_Percent = 0;
    std::int32_t Low_GP_Waring_Perc = 0;
    std::string Sequencing_ANAN;
    std::string Sequencing_Prior;
    std::int32_t Price_Def_1_Level = 0, Price_Def_1_Use = 0, Price_Def_1_Perc = 0;
    std::int32_t Price_Def_2_Level = 0, Price_Def_2_Use = 0, Price_Def_2_Perc = 0;
    std::int32_t Price_Def_3_Level = 0, Price_Def_3_Use = 0, Price_Def_3_Perc = 0;
    std::int32_t Price_Def_4_Level = 0, Price_Def_4_Use = 0, Price_Def_4_Perc = 0;
    std::int32_t Price_Def_5_Level = 0, Price_Def_5_Use = 0, Price_Def_5_Perc = 0;
    std::int32_t Price_Def_6_Level = 0, Price_Def_6_Use = 0, Price_Def_6_Perc = 0;
    Currency Cost_of_Mdse;
    Currency Cost_of_Freight;
    std::int32_t MTD_No_Sales = 0;
    Currency MTD_Sales;
    Currency MTD_COGS;
    std::int32_t YTD_No_Sales = 0;  // includes the month to date
    Currency YTD_Sales;             // includes the month to date
    Currency YTD_COGS;              // includes the month to date
    std::int32_t PYTD_No_Sales = 0;
    Currency PYTD_Sales;
    Currency PYTD_COGS;
    std::int32_t Default_Cost_GP = 0;
    std::string Taxable;
    std::int32_t Default_Frt_Markup = 0;
    bool ReCalculateMax = false;
    std::int32_t High_Stock_Amount = 0;
    std::string DataBase_Name;
    std::int32_t Warranty = 0;
    std::int32_t SerPol_No_Months_1 = 0, SerPol_List_Perc_1 = 0;
    std::int32_t SerPol_No_Months_2 = 0, SerPol_List_Perc_2 = 0;
    std::int32_t SerPol_No_Months_3 = 0, SerPol_List_Perc_3 = 0;
    std::int32_t SerPol_No_Months_4 = 0, SerPol_List_Perc_4 = 0;
    std::string Line_Type;  // "U", "R" or "P"
    std::int32_t Unit_Counter = 0;
    std::int32_t A_P_Company = 0;
    std::int32_t A_P_Vendor = 0;
    std::int32_t MTD_Items_Ordered = 0;
    std::int32_t MTD_Items_Filled = 0;
    std::int32_t MTD_Pieces_Ordered = 0;
    std::int32_t MTD_Pieces_Filled = 0;
    std::int32_t MTD_Dollars_Ord = 0;
    std::int32_t MTD_Dollars_Filled = 0;
    std::int32_t YTD_Items_Ordered = 0;
    std::int32_t YTD_Items_Filled = 0;
    std::int32_t YTD_Pieces_Ordered = 0;
    std::int32_t YTD_Pieces_Filled = 0;
    std::int32_t YTD_Dollars_Ord = 0;
    std::int32_t YTD_Dollars_Filled = 0;
    std::int32_t Primary_Vendor = 0;
    std::string Order_Type_Switch;
    std::int32_t Seas_percentage = 0;
    std::string Seas_ReOrder_Codes;
    Date Seas_Date_Last_Gen = codec::kEmptyDate;
    std::int32_t EOM_Mdse_Cost = 0;
    std::int32_t EOM_Freight_Cost = 0;
    std::int32_t EOY_Mdse_Cost = 0;
    std::int32_t EOY_Freight_Cost = 0;
    std::int32_t RecNo = 0;  // set by Read only

    // The layout of LINEL and ELINEL together runs to this position.
    static constexpr std::int32_t kRecordLength = 222;
    // Every field's position, width and encoding, read by Unpack and Pack.
    static records::Layout<clsLines> layout();

    void Unpack(std::string_view Rec);
    // Reads LINEL and ELINEL record `RecordNumber` and unpacks them. A number outside 1 to the
    // last record of LINEL fails with error 81; other engine failures reach the caller too.
    void Read(std::int32_t RecordNumber, bool Orb = false);

  private:
    void readComodities();

    cBusinessBasic* engine_;
    std::shared_ptr<cLogicalFile> linel_;
    std::shared_ptr<cLogicalFile> elinel_;
};

}  // namespace fennick
