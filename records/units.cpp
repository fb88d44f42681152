#include "records/units.h"

#include "records/layout.h"

namespace fennick {

using namespace records;
using U = clsUnits;

namespace {

constexpr Field<U> kLayout[] = {
    integer("Line", 3, Int::U16, member<&U::Line>),
    text("Model_Number", 5, 12, Encoding::Compressed, member<&U::Model_Number>),
    text("Model_Number_W_Dash", 5, 14, Encoding::Compressed, member<&U::Model_Number_W_Dash>),
    text("Unit_Number", 20, 8, Encoding::Text, member<&U::Unit_Number>),
    text("Model_Description", 28, 14, Encoding::Compressed, member<&U::Model_Description>),
    text("Make_or_Manufacturer", 42, 15, Encoding::Text, member<&U::Make_or_Manufacturer>),
    text("Unit_Serial_Number", 57, 12, Encoding::Compressed, member<&U::Unit_Serial_Number>),
    text("Manufacturers_Identificati", 69, 5, Encoding::Text,
         member<&U::Manufacturers_Identificati>),
    integer("Model_Year", 74, Int::U16, member<&U::Model_Year>),
    text("Model_Series_Number", 76, 4, Encoding::Text, member<&U::Model_Series_Number>),
    text("Engine_Type", 80, 2, Encoding::Text, member<&U::Engine_Type>),
    text("Engine_ID_Number", 82, 12, Encoding::Text, member<&U::Engine_ID_Number>),
    text("Drive_type_2wd_4wd", 94, 2, Encoding::Text, member<&U::Drive_type_2wd_4wd>),
    text("Unit_Color", 96, 5, Encoding::Text, member<&U::Unit_Color>),
    integer("Meter_Reading", 101, Int::U24, member<&U::Meter_Reading>),
    text("Unit_Status_A_R_S_U", 104, 1, Encoding::Text, member<&U::Unit_Status_A_R_S_U>),
    text("User_Defined_Unit_Type", 105, 1, Encoding::Text, member<&U::User_Defined_Unit_Type>),
    text("Location_of_Unit", 106, 7, Encoding::Text, member<&U::Location_of_Unit>),
    integer("User_Defined_Numeric_1", 112, Int::S32, member<&U::User_Defined_Numeric_1>),
    integer("User_Defined_Numeric_2", 116, Int::S32, member<&U::User_Defined_Numeric_2>),
    text("User_Defined_Alpha_1", 120, 12, Encoding::Text, member<&U::User_Defined_Alpha_1>),
    text("User_Defined_Alpha_2", 132, 12, Encoding::Text, member<&U::User_Defined_Alpha_2>),
    integer("Sold_To_Customer_Number", 144, Int::U24, member<&U::Sold_To_Customer_Number>),
    day("Date_Received_In", 147, member<&U::Date_Received_In>),
    day("Date_Sold", 149, member<&U::Date_Sold>),
    integer("Sold_Invoice_Number", 151, Int::S32, member<&U::Sold_Invoice_Number>),
    money("Dealers_List_Price", 155, member<&U::Dealers_List_Price>),
    money("Suggested_LIst_Price", 159, member<&U::Suggested_LIst_Price>),
    money("Amount_Sold_For", 163, member<&U::Amount_Sold_For>),
    day("Factory_Warranty_Expiratio", 167, member<&U::Factory_Warranty_Expiratio>),
    day("Extended_Warranty_Expirati", 169, member<&U::Extended_Warranty_Expirati>),
    text("User_Defined_Warranty_Code", 171, 2, Encoding::Text,
         member<&U::User_Defined_Warranty_Code>),
    money("Extended_Warranty_Cost", 173, member<&U::Extended_Warranty_Cost>),
    text("Flooring_Number", 177, 7, Encoding::Compressed, member<&U::Flooring_Number>),
    integer("GL_Inventory_Account_No", 184, Int::S32, member<&U::GL_Inventory_Account_No>),
    integer("GL_Cost_Goods_Account_No", 188, Int::S32, member<&U::GL_Cost_Goods_Account_No>),
    integer("GL_Over_Allow_Account_No", 192, Int::S32, member<&U::GL_Over_Allow_Account_No>),
    integer("Flooring_Line", 196, Int::U16, member<&U::Flooring_Line>),
    text("Unit_Number_Traded_Against", 198, 8, Encoding::Text,
         member<&U::Unit_Number_Traded_Against>),
    integer("Accounts_Payable_Vendor_No", 206, Int::S32, member<&U::Accounts_Payable_Vendor_No>),
    integer("Selling_Salesman_Number", 210, Int::U8, member<&U::Selling_Salesman_Number>),
    text("FlooringInvoice", 211, 9, Encoding::Text, member<&U::FlooringInvoice>),
    text("FlooringPayment", 220, 9, Encoding::Text, member<&U::FlooringPayment>),
    day("FlooringDateDue", 229, member<&U::FlooringDateDue>),
    day("FlooringDatePaid", 231, member<&U::FlooringDatePaid>),
    integer("NoteChain", 501, Int::S32, member<&U::NoteChain>),
    integer("SubLedgerChain", 505, Int::S32, member<&U::SubLedgerChain>),
    integer("HistoryChain", 509, Int::S32, member<&U::HistoryChain>),
};
static_assert(fitsRecord(kLayout, clsUnits::kRecordLength));

constexpr Field<U> kIdentity[] = {kLayout[0], kLayout[1], kLayout[3], kLayout[6]};
static_assert(kIdentity[0].name == "Line" && kIdentity[1].name == "Model_Number" &&
              kIdentity[2].name == "Unit_Number" && kIdentity[3].name == "Unit_Serial_Number");

}  // namespace

Layout<U> clsUnits::layout() {
    return kLayout;
}

void clsUnits::Unpack(std::string_view Rec) {
    unpackFields(layout(), *this, FieldReader(Rec));
}

void clsUnits::UnpackIdentity(std::string_view Rec) {
    unpackFields(Layout<U>(kIdentity), *this, FieldReader(Rec));
}

}  // namespace fennick
