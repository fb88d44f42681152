#pragma once
// clsInvoiceHistoryDetail: one invoice line. Positions 3-8 hold the invoice and item numbers;
// 9-52 one 44-byte line as invoice pages carry them: a sales line, or a remark line (line code
// "REM") whose text may mark a serial-number line ("SN-"), a back-order line ("B.O. INV") or
// a unit line ("...UNIT NUMBER...").
//
// Compressed texts are decoded with the punctuation " ,-." (a stored "/" shows as "-"), except
// Part_Number, which keeps " ,/.". Decoding never changes the engine's own alphabet.

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/codec.h"
#include "engine/currency.h"
#include "records/layout.h"

namespace fennick {

class clsInvoiceHistoryDetail {
  public:
    std::int32_t Invoice_Number = 0;
    std::int32_t Item_Number = 0;
    std::string Line;
    std::string Part_Number;
    std::string Part_w_Dash;
    std::string Description;
    std::string Comment;
    Currency Quantity;
    Currency Net_Each;
    Currency Cost_Each;
    Currency Back_Ordered_Qty;
    std::string Commodity;
    std::int32_t Mechanic_No = 0;
    std::int16_t Taxable = 0;
    std::int16_t Factory_Freight = 0;
    std::int16_t Defect = 0;
    std::int16_t Rebate = 0;
    std::int16_t Return_Item = 0;
    std::int16_t Non_Stock = 0;
    std::int16_t Emergency = 0;
    std::int16_t Service_Policy = 0;
    std::int16_t Warranty = 0;
    std::int16_t Price_Changed = 0;
    std::int16_t Estimated_Cost = 0;
    std::int16_t Cost_Entered = 0;
    std::int16_t Non_Replaced = 0;
    std::int16_t Pre_Posted = 0;
    std::int16_t Trade_In = 0;
    std::int16_t Special_Order = 0;
    std::int32_t snLine = 0;
    std::string snPartNumber;
    std::int32_t snQtyOrdered = 0;
    std::int32_t snFactory_Warranty = 0;
    std::string snSerialNumber;        // not part of the record
    std::int32_t snFlooringRecNo = 0;  // not part of the record
    Date boDate = codec::kDayZero;
    std::int32_t boRecNumber = 0;
    std::int32_t boInvoiceNumber = 0;  // not part of the record
    std::int32_t boPurchaseOrder = 0;  // not part of the record
    Currency UnitNet;

    // Positions 3-52 of an INVOL line record.
    static constexpr std::int32_t kRecordLength = 52;
    // The fields of every line, of a sales line and of a remark line: position, width and
    // encoding, read by Unpack and Pack.
    static records::Layout<clsInvoiceHistoryDetail> lineLayout();
    static records::Layout<clsInvoiceHistoryDetail> salesLayout();
    static records::Layout<clsInvoiceHistoryDetail> remarkLayout();
    // The packing alphabet of the compressed texts (the punctuation " ,-.").
    static const std::string& alphabet();

    void Unpack(std::string_view Rec);

    bool isRemark() const { return Line == "REM"; }
};

}  // namespace fennick
