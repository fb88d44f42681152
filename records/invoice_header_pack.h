#pragma once
// Pack for clsInvoiceHistory, for the share writers and tests: the readers only unpack.

#include <string>

#include "engine/writers_only.h"
#include "records/invoice_header.h"

namespace fennick {

// Writes the layout Record_Status selects and the common fields. Turns Transaction_Type
// into its stored form first (credit and manual-invoice steps), changing the property.
void Pack(clsInvoiceHistory& header, std::string& Rec);

}  // namespace fennick
