#pragma once
// Pack for clsInvoiceHistoryDetail, for the share writers and tests: the readers only unpack.

#include <string>

#include "engine/writers_only.h"
#include "records/invoice_detail_line.h"

namespace fennick {

// Writes the common fields and then those of a sales or a remark line.
void Pack(const clsInvoiceHistoryDetail& detail, std::string& Rec);

}  // namespace fennick
