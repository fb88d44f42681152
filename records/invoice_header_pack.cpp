#include "records/invoice_header.h"

namespace fennick {

void clsInvoiceHistory::Pack(std::string& Rec) {
    records::FieldWriter out(Rec);
    if (isInvoiceStatus(Record_Status))
        records::packFields(invoiceLayout(), *this, out);
    else if (isShopStatus(Record_Status))
        records::packFields(shopLayout(), *this, out);
    // The stored transaction type: credit and manual-invoice steps.
    if (Sub_Total < Currency() && (Transaction_Type == 1 || Transaction_Type == 2))
        Transaction_Type += 2;
    if (ManualInvoice) Transaction_Type += kManualInvoiceOffset;
    records::packFields(commonLayout(), *this, out);
}

}  // namespace fennick
