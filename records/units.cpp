#include "records/units.h"

#include "records/fields.h"

namespace fennick {

using records::FieldReader;
using records::FieldWriter;

void clsUnits::Unpack(std::string_view Rec) {
    FieldReader in(Rec);
    in.integer("C", 3, Line);
    Model_Number = in.compressed(5, 12);
    Model_Number_W_Dash = in.compressed(5, 14);
    Unit_Number = in.text(20, 8);
    Model_Description = in.compressed(28, 14);
    Make_or_Manufacturer = in.text(42, 15);
    Unit_Serial_Number = in.compressed(57, 12);
    Manufacturers_Identificati = in.text(69, 5);
    in.integer("C", 74, Model_Year);
    Model_Series_Number = in.text(76, 4);
    Engine_Type = in.text(80, 2);
    Engine_ID_Number = in.text(82, 12);
    Drive_type_2wd_4wd = in.text(94, 2);
    Unit_Color = in.text(96, 5);
    in.integer("D", 101, Meter_Reading);
    Unit_Status_A_R_S_U = in.text(104, 1);
    User_Defined_Unit_Type = in.text(105, 1);
    Location_of_Unit = in.text(106, 7);
    in.integer("L", 112, User_Defined_Numeric_1);
    in.integer("L", 116, User_Defined_Numeric_2);
    User_Defined_Alpha_1 = in.text(120, 12);
    User_Defined_Alpha_2 = in.text(132, 12);
    in.integer("D", 144, Sold_To_Customer_Number);
    in.date(147, Date_Received_In);
    in.date(149, Date_Sold);
    in.integer("L", 151, Sold_Invoice_Number);
    in.money(155, Dealers_List_Price);
    in.money(159, Suggested_LIst_Price);
    in.money(163, Amount_Sold_For);
    in.date(167, Factory_Warranty_Expiratio);
    in.date(169, Extended_Warranty_Expirati);
    User_Defined_Warranty_Code = in.text(171, 2);
    in.money(173, Extended_Warranty_Cost);
    Flooring_Number = in.compressed(177, 7);
    in.integer("L", 184, GL_Inventory_Account_No);
    in.integer("L", 188, GL_Cost_Goods_Account_No);
    in.integer("L", 192, GL_Over_Allow_Account_No);
    in.integer("C", 196, Flooring_Line);
    Unit_Number_Traded_Against = in.text(198, 8);
    in.integer("L", 206, Accounts_Payable_Vendor_No);
    in.integer("B", 210, Selling_Salesman_Number);
    FlooringInvoice = in.text(211, 9);
    FlooringPayment = in.text(220, 9);
    in.date(229, FlooringDateDue);
    in.date(231, FlooringDatePaid);
    in.integer("L", 501, NoteChain);
    in.integer("L", 505, SubLedgerChain);
    in.integer("L", 509, HistoryChain);
}

void clsUnits::Pack(std::string& Rec) const {
    FieldWriter out(Rec);
    out.integer("C", 3, Line);
    out.compressed(5, 12, Model_Number);
    out.compressed(5, 14, Model_Number_W_Dash);
    out.text(20, 8, Unit_Number);
    out.compressed(28, 14, Model_Description);
    out.text(42, 15, Make_or_Manufacturer);
    out.compressed(57, 12, Unit_Serial_Number);
    out.text(69, 5, Manufacturers_Identificati);
    out.integer("C", 74, Model_Year);
    out.text(76, 4, Model_Series_Number);
    out.text(80, 2, Engine_Type);
    out.text(82, 12, Engine_ID_Number);
    out.text(94, 2, Drive_type_2wd_4wd);
    out.text(96, 5, Unit_Color);
    out.integer("D", 101, Meter_Reading);
    out.text(104, 1, Unit_Status_A_R_S_U);
    out.text(105, 1, User_Defined_Unit_Type);
    out.text(106, 7, Location_of_Unit);
    out.integer("L", 112, User_Defined_Numeric_1);
    out.integer("L", 116, User_Defined_Numeric_2);
    out.text(120, 12, User_Defined_Alpha_1);
    out.text(132, 12, User_Defined_Alpha_2);
    out.integer("D", 144, Sold_To_Customer_Number);
    out.date(147, Date_Received_In);
    out.date(149, Date_Sold);
    out.integer("L", 151, Sold_Invoice_Number);
    out.money(155, Dealers_List_Price);
    out.money(159, Suggested_LIst_Price);
    out.money(163, Amount_Sold_For);
    out.date(167, Factory_Warranty_Expiratio);
    out.date(169, Extended_Warranty_Expirati);
    out.text(171, 2, User_Defined_Warranty_Code);
    out.money(173, Extended_Warranty_Cost);
    out.compressed(177, 7, Flooring_Number);
    out.integer("L", 184, GL_Inventory_Account_No);
    out.integer("L", 188, GL_Cost_Goods_Account_No);
    out.integer("L", 192, GL_Over_Allow_Account_No);
    out.integer("C", 196, Flooring_Line);
    out.text(198, 8, Unit_Number_Traded_Against);
    out.integer("L", 206, Accounts_Payable_Vendor_No);
    out.integer("B", 210, Selling_Salesman_Number);
    out.text(211, 9, FlooringInvoice);
    out.text(220, 9, FlooringPayment);
    out.date(229, FlooringDateDue);
    out.date(231, FlooringDatePaid);
    out.integer("L", 501, NoteChain);
    out.integer("L", 505, SubLedgerChain);
    out.integer("L", 509, HistoryChain);
}

}  // namespace fennick
