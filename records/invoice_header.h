#pragma once
// clsInvoiceHistory: the header of a sales invoice or shop work order in INVOL (160 bytes).
// The status at 1 selects the layout: 1, 2, 3, 13, 17, 19, 99 the invoice layout; 80, 81 the
// shop layout; any other status only the common fields, leaving the rest (Shop included)
// as they were. The common fields are read after the layout, so where the shop layout and the
// common fields share a byte (the delivery code, the terminal) the common reading holds.
//
// Transaction types: a manual invoice stores its type plus 20; a credit stores 3 or 4 for the
// types 1 and 2 (see Unpack).

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/codec.h"
#include "engine/currency.h"
#include "records/layout.h"

namespace fennick {

class clsInvoiceHistory {
  public:
    std::int32_t Record_Status = 0;
    std::int32_t Account = 0;
    std::int32_t AlternateTaxCode = 0;
    std::int32_t Invoice_Time = 0;
    Date Invoice_Date = codec::kEmptyDate;
    std::int32_t Future_Ship = 0;
    std::int32_t Terminal = 0;
    Date DateDue = codec::kEmptyDate;
    std::int32_t UPSBoxes = 0;
    Currency Deposit;
    Date Future_Ship_Date = codec::kEmptyDate;
    std::int16_t Voided = 0;
    std::int16_t CreatedByEDI = 0;
    std::int16_t Printed = 0;
    std::int16_t Pay_As_Sold = 0;
    std::int16_t Settled = 0;
    std::int16_t NonDemandSale = 0;
    std::int16_t EmergencyOrder = 0;
    std::int16_t FarmPlanInvoice = 0;
    std::int16_t PickTicketLabelPrinted = 0;
    std::int16_t WarrantyUpdated = 0;
    std::int32_t Pay_type_1 = 0;
    Currency Pay_Amount_1;
    std::int32_t Pay_type_2 = 0;
    Currency Pay_Amount_2;
    std::int32_t Pay_type_3 = 0;
    Currency Pay_Amount_3;
    std::string Attention_of;
    std::int32_t Invoice_Number = 0;
    std::int32_t COUNTERMAN_Number = 0;
    std::int32_t Salesman_Number = 0;
    std::int32_t Number_of_Pages = 0;
    std::int16_t Partial_Ship = 0;
    std::int16_t Back_Orders = 0;
    std::int16_t Drop_Ship = 0;
    std::int16_t Dated = 0;
    std::string Purchase_Order_No;
    bool ManualInvoice = false;
    std::int32_t Transaction_Type = 0;
    std::int32_t Delivery_Code = 0;
    Currency Sub_Total;
    std::int32_t Disc_Percentage = 0;
    Currency Discount_Amount;
    std::int32_t Tax_Rate = 0;
    Currency Tax_Amount;
    std::int32_t ShipTo = 0;
    std::int32_t Department = 0;
    std::string Sales_Code;
    std::string Tax_Code;
    std::int32_t Tax_Rate_Code = 0;
    std::int32_t Price_Code = 0;
    std::int32_t Packing_Slip_No = 0;
    std::int32_t Category = 0;
    std::int32_t Terms_Code = 0;
    Currency Down_Payment;
    Currency ReplacementEstimate;
    Currency Meter;
    Date ScheduleDate = codec::kEmptyDate;
    Date PostCardDate = codec::kEmptyDate;
    std::array<Date, 3> CallDates{codec::kEmptyDate, codec::kEmptyDate, codec::kEmptyDate};
    std::string RepairBrand;
    std::string RepairBrandDescription;
    std::string SerialNumber1;
    std::string SerialNumber2;
    std::int32_t ShopReference = 0;
    std::int32_t Mechanic = 0;
    std::int32_t PostCardCount = 0;
    Currency EstimateAmount;
    Date PromiseDate = codec::kEmptyDate;
    Date DeliveryDate = codec::kEmptyDate;
    Date DateCompleted = codec::kEmptyDate;
    Date DateCheckedIn = codec::kEmptyDate;
    std::string Status;
    std::int32_t DeliveryCode = 0;  // not part of the record
    std::int32_t JobNumber = 0;
    std::int32_t TimeIn = 0;
    std::string PhoneNumber2;
    std::int32_t Page = 0;
    bool Rental = false;
    bool Shop = false;
    std::int32_t Distributor = 0;  // not part of the record
    std::array<std::int32_t, 2> WarrVend{};
    std::string Warranty;
    std::array<std::int32_t, 3> CallStatus{};
    std::int32_t Priority = 0;
    std::int32_t RecordNumber = 0;  // not part of the record
    std::string Notes;              // not part of the record
    std::int32_t Codes = 0;         // not part of the record

    static constexpr std::int32_t kRecordLength = 160;
    // A manual invoice stores its transaction type plus this.
    static constexpr std::int32_t kManualInvoiceOffset = 20;
    // The fields of each layout: position, width and encoding, read by Unpack and Pack.
    static records::Layout<clsInvoiceHistory> invoiceLayout();
    static records::Layout<clsInvoiceHistory> shopLayout();
    static records::Layout<clsInvoiceHistory> commonLayout();

    void Unpack(std::string_view Rec);

    static bool isInvoiceStatus(std::int32_t status);
    static bool isShopStatus(std::int32_t status);
};

}  // namespace fennick
