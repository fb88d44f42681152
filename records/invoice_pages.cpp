#include "records/invoice_pages.h"

#include <algorithm>
#include <cstdlib>

#include "records/part_dashes.h"

namespace fennick {

using namespace records;

namespace {

using P = InvoicePage;
// The link is stored signed; a walk takes its absolute value.
constexpr Codec<P> kAbsoluteLink{
    [](P& p, const FieldReader& in, const Slot& s) {
        in.integer(s.kind, s.position, p.Link);
        p.Link = std::abs(p.Link);
    },
    [](const P& p, FieldWriter& out, const Slot& s) { out.integer(s.kind, s.position, p.Link); }};
constexpr Field<P> kPage[] = {
    custom("Link", 110, 3, kAbsoluteLink, Int::S24),
    integer("Page", 115, Int::U8, member<&P::Page>),
    integer("Entries", 146, Int::U8, member<&P::Entries>),
};
static_assert(fitsRecord(kPage, InvoicePage::kHeaderLength));

using E = InvoicePageEntry;
bool sale(const E& e) {
    return !e.isRemark();
}
bool remark(const E& e) {
    return e.isRemark();
}
constexpr Field<E> kEntry[] = {
    text("Line_Code", 1, 2, Encoding::Compressed, member<&E::Line_Code>),
    only(sale, text("Part_Number", 3, 12, Encoding::Compressed, member<&E::Part_Number>)),
    only(sale, text("Dash_Code", 15, 2, Encoding::Compressed, member<&E::Dash_Code>)),
    only(sale, text("Description", 17, 14, Encoding::Compressed, member<&E::Description>)),
    only(sale, integer("Quantity_Tenths", 31, Int::S16, member<&E::Quantity_Tenths>)),
    only(sale, integer("Net", 33, Int::S24, member<&E::Net>)),
    only(sale, integer("Cost", 36, Int::U24, member<&E::Cost>)),
    only(remark, text("Remark", 3, 42, Encoding::Compressed, member<&E::Remark>)),
};
static_assert(fitsRecord(kEntry, InvoicePage::kEntryLength));

using S = InvoiceListSlot;
constexpr Codec<S> kRecordNumbers{
    [](S& s, const FieldReader& in, const Slot& slot) {
        for (std::size_t k = 0; k < s.Invoices.size(); ++k)
            in.integer(slot.kind, slot.position + static_cast<std::int32_t>(4 * k), s.Invoices[k]);
    },
    [](const S& s, FieldWriter& out, const Slot& slot) {
        for (std::size_t k = 0; k < s.Invoices.size(); ++k)
            out.integer(slot.kind, slot.position + static_cast<std::int32_t>(4 * k), s.Invoices[k]);
    }};
constexpr Field<S> kSlot[] = {custom("Invoices", 5, 124, kRecordNumbers, Int::S32)};
static_assert(fitsRecord(kSlot, InvoiceListSlot::kLength));

}  // namespace

Layout<P> InvoicePage::layout() {
    return kPage;
}

void InvoicePage::Unpack(std::string_view page) {
    unpackFields(layout(), *this, FieldReader(page));
}

std::vector<std::string_view> InvoicePage::entries(std::string_view page) {
    InvoicePage head;
    head.Unpack(page);
    std::int32_t room =
        page.size() > kHeaderLength
            ? static_cast<std::int32_t>((page.size() - kHeaderLength) / kEntryLength)
            : 0;
    std::vector<std::string_view> out;
    for (std::int32_t k = 0; k < std::min(head.Entries, room); ++k)
        out.push_back(
            page.substr(static_cast<std::size_t>(kHeaderLength + kEntryLength * k), kEntryLength));
    return out;
}

Layout<E> InvoicePageEntry::layout() {
    return kEntry;
}

void InvoicePageEntry::Unpack(std::string_view entry) {
    unpackFields(layout(), *this, FieldReader(entry, dashPunctuationAlphabet()));
}

Layout<S> InvoiceListSlot::layout() {
    return kSlot;
}

void InvoiceListSlot::Unpack(std::string_view slot) {
    unpackFields(layout(), *this, FieldReader(slot));
}

std::vector<std::int32_t> InvoiceListSlot::listed(std::string_view block) {
    std::vector<std::int32_t> out;
    for (std::int32_t s = 0; s < kPerBlock; ++s) {
        InvoiceListSlot slot;
        slot.Unpack(
            block.substr(std::min(block.size(), static_cast<std::size_t>(s * kLength)), kLength));
        for (std::int32_t record : slot.Invoices)
            if (record != 0) out.push_back(record);
    }
    return out;
}

}  // namespace fennick
