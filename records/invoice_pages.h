#pragma once
// The pages of an invoice or shop order in INVOL, and the list of pending invoices in FILE0, as
// layout tables.
//
// A page is an INVOL record: a link towards page 1 (K at 110, its absolute value), its page
// number (B at 115), its entry count (B at 146) and from byte 161 that many 44-byte line
// entries. An entry whose line code reads "REM" is a remark: its text fills bytes 3 to 44.
//
// FILE0 blocks 701 to 764 list the pending invoices: four 128-byte slots a block, each a 4-byte
// head and 31 INVOL record numbers (L); an all-NUL entry is empty.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "records/layout.h"

namespace fennick {

struct InvoicePage {
    std::int32_t Link = 0;
    std::int32_t Page = 0;
    std::int32_t Entries = 0;

    static constexpr std::int32_t kHeaderLength = 160;
    static constexpr std::int32_t kEntryLength = 44;
    static records::Layout<InvoicePage> layout();
    void Unpack(std::string_view page);
    // The record a walk towards page 1 reads after this page: its link, or 0 at page 1.
    std::int32_t previousPage() const { return Page == 1 ? 0 : Link; }
    // The line entries of a page record, as many as it counts and has room for.
    static std::vector<std::string_view> entries(std::string_view page);
};

struct InvoicePageEntry {
    std::string Line_Code;
    std::string Part_Number;
    std::string Dash_Code;
    std::string Description;
    std::int32_t Quantity_Tenths = 0;
    std::int32_t Net = 0;
    std::int32_t Cost = 0;
    std::string Remark;

    static constexpr std::string_view kRemark = "REM";
    static records::Layout<InvoicePageEntry> layout();
    // Decoded with the alphabet that shows the stored "/" as "-".
    void Unpack(std::string_view entry);
    bool isRemark() const { return Line_Code == kRemark; }
};

struct InvoiceListSlot {
    std::array<std::int32_t, 31> Invoices{};

    static constexpr std::int32_t kFirstBlock = 701;
    static constexpr std::int32_t kLastBlock = 764;
    static constexpr std::int32_t kLength = 128;
    static constexpr std::int32_t kPerBlock = 4;
    static records::Layout<InvoiceListSlot> layout();
    void Unpack(std::string_view slot);
    // The INVOL records a list block names, in list order, empty entries left out.
    static std::vector<std::int32_t> listed(std::string_view block);
};

}  // namespace fennick
