#include "records/invoice_detail_line_pack.h"

namespace fennick {

void Pack(const clsInvoiceHistoryDetail& detail, std::string& Rec) {
    using D = clsInvoiceHistoryDetail;
    records::FieldWriter out(Rec, D::alphabet());
    records::packFields(D::lineLayout(), detail, out);
    records::packFields(detail.isRemark() ? D::remarkLayout() : D::salesLayout(), detail, out);
}

}  // namespace fennick
