#include "records/invoice_header.h"

namespace fennick {

using records::FieldReader;

bool clsInvoiceHistory::isInvoiceStatus(std::int32_t status) {
    switch (status) {
        case 1:
        case 2:
        case 3:
        case 13:
        case 17:
        case 19:
        case 99:
            return true;
        default:
            return false;
    }
}

bool clsInvoiceHistory::isShopStatus(std::int32_t status) {
    return status == 80 || status == 81;
}

void clsInvoiceHistory::Unpack(std::string_view Rec) {
    FieldReader in(Rec);
    // The status, the common layout's first field, selects the layout.
    records::unpackField(commonLayout().front(), *this, in);
    if (isInvoiceStatus(Record_Status)) {
        Shop = false;
        records::unpackFields(invoiceLayout(), *this, in);
    } else if (isShopStatus(Record_Status)) {
        Shop = true;
        ManualInvoice = false;
        records::unpackFields(shopLayout(), *this, in);
    }
    records::unpackFields(commonLayout(), *this, in);
    // A manual invoice stores its type plus 20.
    if (!Shop) Transaction_Type %= 10;
    // A credit (negative Sub_Total) is stored as type 3 or 4 and read as the sale type 1 or 2.
    // Keying on the positive sign instead would turn every ordinary sale into 3 or 4 on Pack.
    if (Sub_Total < Currency() && (Transaction_Type == 3 || Transaction_Type == 4))
        Transaction_Type -= 2;
}

}  // namespace fennick
