#pragma once
// clsUnits: the unit record of UNITL, one serialised stock item, mapped to 48 fields.
//
//   1-2 unused | 3 line C | 5 model (14 bytes compressed; the first 12 are Model_Number)
//   20 unit number | 28 description | ... | 155-166 list, suggested, sold prices (cents)
//   ... | 231 flooring date paid | 233-500 unused | 501 notes, 505 sub-ledger, 509 history chains
//
// Pack writes in field order, so later fields win where ranges overlap: the model with dash
// over the model, User_Defined_Numeric_1 over the location's 7th byte.

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/codec.h"
#include "engine/currency.h"
#include "records/layout.h"

namespace fennick {

class clsUnits {
  public:
    std::int32_t Line = 0;
    std::string Model_Number;
    std::string Model_Number_W_Dash;
    std::string Unit_Number;
    std::string Model_Description;
    std::string Make_or_Manufacturer;
    std::string Unit_Serial_Number;
    std::string Manufacturers_Identificati;
    std::int32_t Model_Year = 0;
    std::string Model_Series_Number;
    std::string Engine_Type;
    std::string Engine_ID_Number;
    std::string Drive_type_2wd_4wd;
    std::string Unit_Color;
    std::int32_t Meter_Reading = 0;
    std::string Unit_Status_A_R_S_U;
    std::string User_Defined_Unit_Type;
    std::string Location_of_Unit;
    std::int32_t User_Defined_Numeric_1 = 0;
    std::int32_t User_Defined_Numeric_2 = 0;
    std::string User_Defined_Alpha_1;
    std::string User_Defined_Alpha_2;
    std::int32_t Sold_To_Customer_Number = 0;
    Date Date_Received_In = codec::kEmptyDate;
    Date Date_Sold = codec::kEmptyDate;  // the empty date: not sold
    std::int32_t Sold_Invoice_Number = 0;
    Currency Dealers_List_Price;
    Currency Suggested_LIst_Price;
    Currency Amount_Sold_For;
    Date Factory_Warranty_Expiratio = codec::kEmptyDate;
    Date Extended_Warranty_Expirati = codec::kEmptyDate;
    std::string User_Defined_Warranty_Code;
    Currency Extended_Warranty_Cost;
    std::string Flooring_Number;
    std::int32_t GL_Inventory_Account_No = 0;
    std::int32_t GL_Cost_Goods_Account_No = 0;
    std::int32_t GL_Over_Allow_Account_No = 0;
    std::int32_t Flooring_Line = 0;
    std::string Unit_Number_Traded_Against;
    std::int32_t Accounts_Payable_Vendor_No = 0;
    std::int32_t Selling_Salesman_Number = 0;
    std::string FlooringInvoice;
    std::string FlooringPayment;
    Date FlooringDateDue = codec::kEmptyDate;
    Date FlooringDatePaid = codec::kEmptyDate;
    std::int32_t NoteChain = 0;       // first UNOTEL record, 0 = none
    std::int32_t SubLedgerChain = 0;  // first LUNITL record, 0 = none
    std::int32_t HistoryChain = 0;    // first history record, 0 = none

    static constexpr std::int32_t kRecordLength = 512;
    // Every field's position, width and encoding, read by Unpack and Pack.
    static records::Layout<clsUnits> layout();

    void Unpack(std::string_view Rec);
    // Only the fields that tell which unit this is: line, model, unit and serial number (for
    // walks over every unit that need no more).
    void UnpackIdentity(std::string_view Rec);

    // What the model tree's in-stock filter asks of a unit: no sold-invoice number.
    bool notOnSoldInvoice() const { return Sold_Invoice_Number == 0; }
    // What the unit list asks before its check against the sales in progress: sold neither by
    // date nor on an invoice.
    bool notSold() const { return Date_Sold == codec::kEmptyDate && notOnSoldInvoice(); }
};

}  // namespace fennick
