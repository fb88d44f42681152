#pragma once
// The contents of a dealer share as plain values: product lines, units with their notes and
// sub-ledger postings, open tickets and the pending invoices listed in FILE0. The demo generator
// fills it; tests fill it by hand to build exactly the share a case needs.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/codec.h"

namespace fennick::demo {

struct LineSpec {
    std::int32_t number = 0;
    std::string code;         // three-character alpha line code
    std::string name;         // up to 30 characters of the packing alphabet
    char type = 'U';          // "U" unit line, "R", "P" others
    std::string commodities;  // first character: the line's own commodity code
};

struct NoteSpec {
    std::int32_t type = 1;  // 1 dated note, 2 factory option, 3 dealer option, 4 attached unit
    std::string code;
    std::int32_t quantity = 0;
    Date date = codec::kEmptyDate;
    std::string description;
    std::int64_t costCents = 0;
    std::int64_t listCents = 0;
};

struct UnitSpec {
    std::int32_t line = 0;
    std::string model;  // up to 21 characters of the packing alphabet
    std::string unitNumber;
    std::string description;
    std::string make;
    std::string serial;
    std::string mfgId;
    std::int32_t year = 0;
    std::string series, engineType, engineId, drive, color;
    std::int32_t meterTenths = 0;
    std::string status = "A";
    std::string unitType = "N";
    std::string location;
    std::int32_t numeric1 = 0, numeric2 = 0;
    std::string alpha1, alpha2;
    Date received = codec::kEmptyDate;
    Date sold = codec::kEmptyDate;
    std::int32_t soldInvoice = 0;
    std::int64_t dealerListCents = 0;
    std::int64_t suggestedListCents = 0;
    std::vector<std::int64_t> ledgerCents;  // sub-ledger postings, in chain order
    std::vector<NoteSpec> notes;            // in chain order
};

// One 44-byte line entry of an invoice page.
struct LineEntrySpec {
    std::string lineCode;  // "REM" for a remark
    std::string part;      // sales line: part number without dashes
    std::string dashCode;  // sales line: where the part number's dashes go
    std::string text;      // sales line: description; remark: the remark text
    std::int32_t quantityTenths = 0;
    std::int32_t netCents = 0;
    std::int32_t costCents = 0;

    static LineEntrySpec remark(std::string remarkText) {
        LineEntrySpec entry;
        entry.lineCode = "REM";
        entry.text = std::move(remarkText);
        return entry;
    }
};

// An open ticket or a pending invoice: one INVOL record per page, page 1 first.
struct InvoiceSpec {
    std::int32_t status = 1;
    std::int32_t number = 0;
    std::int32_t account = 0;
    Date date = codec::kEmptyDate;
    std::vector<std::vector<LineEntrySpec>> pages;
};

// A raw 4-byte entry of the FILE0 invoice lists (position 0 to 7935), for damaged lists.
struct RawListEntry {
    std::int32_t position = 0;
    std::int32_t value = 0;
};

constexpr std::int32_t kListPositions = 64 * 4 * 31;

struct DealerData {
    std::vector<LineSpec> lines;
    std::vector<UnitSpec> units;  // written in this order: unit i gets UNITL record i + 1
    std::vector<InvoiceSpec> openTickets;
    std::vector<InvoiceSpec> listedInvoices;
    // FILE0 list position of each listed invoice; empty: consecutive from position 0.
    std::vector<std::int32_t> listPositions;
    std::vector<RawListEntry> rawListEntries;
    // The 8-character user-defined name fields of FILE0 block 4, stored as given.
    std::array<std::string, 4> userNames;
};

}  // namespace fennick::demo
