#include "records/invoice_detail_line.h"

namespace fennick {

void clsInvoiceHistoryDetail::Pack(std::string& Rec) const {
    records::FieldWriter out(Rec, alphabet());
    records::packFields(lineLayout(), *this, out);
    records::packFields(isRemark() ? remarkLayout() : salesLayout(), *this, out);
}

}  // namespace fennick
