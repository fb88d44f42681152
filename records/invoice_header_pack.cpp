#include "records/invoice_header_pack.h"

namespace fennick {

void Pack(clsInvoiceHistory& header, std::string& Rec) {
    using H = clsInvoiceHistory;
    records::FieldWriter out(Rec);
    if (H::isInvoiceStatus(header.Record_Status))
        records::packFields(H::invoiceLayout(), header, out);
    else if (H::isShopStatus(header.Record_Status))
        records::packFields(H::shopLayout(), header, out);
    // The stored transaction type: credit and manual-invoice steps.
    if (header.Sub_Total < Currency() &&
        (header.Transaction_Type == 1 || header.Transaction_Type == 2))
        header.Transaction_Type += 2;
    if (header.ManualInvoice) header.Transaction_Type += H::kManualInvoiceOffset;
    records::packFields(H::commonLayout(), header, out);
}

}  // namespace fennick
