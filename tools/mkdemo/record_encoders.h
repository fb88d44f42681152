#pragma once
// Builds the byte images of the dealer records the demo share holds, field by field with the
// codec. A second copy of the record layouts, kept apart from the record classes and their Pack
// (records/*_pack.h) on purpose: the readers are tested against an independent writer, so a
// wrong position in a layout table shows up as a failing test instead of being written and read
// back the same wrong way. Do not replace these encoders with the record classes' Pack.

#include <cstdint>
#include <string>

#include "dealer_data.h"

namespace fennick::demo {

constexpr std::int32_t kUnitLength = 512;
constexpr std::int32_t kLineLength = 544;
constexpr std::int32_t kLineExtensionLength = 64;
constexpr std::int32_t kNoteLength = 84;
constexpr std::int32_t kLedgerLength = 64;
constexpr std::int32_t kInvoiceLength = 512;
constexpr std::int32_t kEntriesPerPage = (kInvoiceLength - 160) / 44;

struct UnitChains {
    std::int32_t notes = 0;
    std::int32_t ledger = 0;
    std::int32_t history = 0;
};

std::string encodeUnit(const UnitSpec& unit, const UnitChains& chains);
std::string encodeLine(const LineSpec& line);
std::string encodeLineExtension(const LineSpec& line);
std::string encodeNote(const NoteSpec& note, const std::string& unitNumber, std::int32_t chain);
std::string encodeLedger(std::int64_t amountCents, const UnitSpec& unit, std::int32_t sequence,
                         std::int32_t chain);
// Page `page` (1-based) of an invoice; `link` is the record of the page before it (0 on page 1).
std::string encodeInvoicePage(const InvoiceSpec& invoice, std::size_t page, std::int32_t link);
std::string encodeLineEntry(const LineEntrySpec& entry);

// `text` compressed and NUL-padded or cut to `width` bytes.
std::string compressedField(const std::string& text, std::size_t width);
// The MUNITI key: line number, compressed model (12 bytes), unit number (8 characters).
std::string unitIndexKey(const UnitSpec& unit);
constexpr std::int32_t kUnitKeyLength = 22;

}  // namespace fennick::demo
