// The pictures of docs/file-formats.md are the layout tables drawn: each table is drawn here
// the same way and compared with the picture after its marker `<!-- layout: NAME -->`, so a
// change to a table that the document does not follow (or the other way round) fails.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "records/index_keys.h"
#include "records/invoice_detail_line.h"
#include "records/invoice_header.h"
#include "records/invoice_pages.h"
#include "records/lines.h"
#include "records/unit_history.h"
#include "records/unit_ledger.h"
#include "records/unit_notes.h"
#include "records/units.h"

namespace fennick {
namespace {

using records::Encoding;
using records::Slot;

constexpr std::size_t kWidest = 96;  // a picture's rows wrap before this many characters

struct Box {
    std::string where, what;
    std::size_t width() const { return std::max(where.size(), what.size()); }
};

std::string span(std::int32_t first, std::int32_t last) {
    return first == last ? std::to_string(first)
                         : std::to_string(first) + "-" + std::to_string(last);
}

std::string code(const Slot& s) {
    switch (s.encoding) {
        case Encoding::Integer: {
            std::string letter(1, coding::codeOf(s.kind));
            return s.scale == records::Scale::Cents    ? letter
                   : s.scale == records::Scale::Tenths ? letter + " tenths"
                                                       : letter + " whole";
        }
        case Encoding::Day:
            return "C day";
        case Encoding::Compressed:
            return "packed";
        case Encoding::Plain:
            return "packed*";
        case Encoding::Custom:
            return "own";
        default:
            return "text";
    }
}

// Money rows say so: an integer row of a Currency member is scaled, plain ones are not.
template <class R>
std::string label(const records::Field<R>& f) {
    std::string text = std::string(f.name) + " " + code(f.slot);
    bool money = std::holds_alternative<Currency& (*)(R&)>(f.member);
    if (money && f.slot.scale == records::Scale::Cents) text += " cents";
    return text;
}

std::string drawRow(const std::vector<Box>& boxes) {
    std::string rule = "+", where = "|", what = "|";
    for (const Box& b : boxes) {
        rule += std::string(b.width() + 2, '-') + "+";
        where += " " + b.where + std::string(b.width() - b.where.size(), ' ') + " |";
        what += " " + b.what + std::string(b.width() - b.what.size(), ' ') + " |";
    }
    return rule + "\n" + where + "\n" + what + "\n" + rule + "\n";
}

// One box a field, in table order, and a "-" box for the bytes no field has reached yet.
template <class R>
std::string draw(records::Layout<R> layout, std::int32_t length) {
    std::vector<Box> boxes;
    std::int32_t reached = 0;
    for (const auto& f : layout) {
        std::int32_t first = f.slot.position, last = first + f.slot.width - 1;
        if (first > reached + 1) boxes.push_back({span(reached + 1, first - 1), "-"});
        boxes.push_back({span(first, last), label(f)});
        reached = std::max(reached, last);
    }
    if (length > reached) boxes.push_back({span(reached + 1, length), "-"});
    std::string out;
    std::vector<Box> row;
    std::size_t used = 1;
    for (const Box& b : boxes) {
        if (!row.empty() && used + b.width() + 3 > kWidest) {
            out += (out.empty() ? "" : "\n") + drawRow(row);
            row.clear();
            used = 1;
        }
        row.push_back(b);
        used += b.width() + 3;
    }
    return out + (out.empty() ? "" : "\n") + drawRow(row);
}

// The fenced block after `<!-- layout: NAME -->` in the document.
std::string pictureOf(const std::string& doc, const std::string& name) {
    std::size_t marker = doc.find("<!-- layout: " + name + " -->");
    if (marker == std::string::npos) return "(no picture " + name + ")";
    std::size_t open = doc.find("```\n", marker);
    std::size_t close = doc.find("```\n", open + 4);
    if (open == std::string::npos || close == std::string::npos) return "(unclosed " + name + ")";
    return doc.substr(open + 4, close - open - 4);
}

struct Picture {
    const char* name;
    std::function<std::string()> draw;
};

template <class R>
Picture picture(const char* name, records::Layout<R> (*layout)(), std::int32_t length) {
    return {name, [=] { return draw(layout(), length); }};
}

class LayoutDocs : public ::testing::TestWithParam<Picture> {};

TEST_P(LayoutDocs, PictureIsTheTableDrawn) {
    std::ifstream in(FENNICK_FILE_FORMATS_DOC);
    std::stringstream doc;
    doc << in.rdbuf();
    ASSERT_FALSE(doc.str().empty()) << FENNICK_FILE_FORMATS_DOC;
    EXPECT_EQ(pictureOf(doc.str(), GetParam().name), GetParam().draw());
}

INSTANTIATE_TEST_SUITE_P(
    Tables, LayoutDocs,
    ::testing::Values(
        picture("clsUnits", &clsUnits::layout, clsUnits::kRecordLength),
        picture("clsUnitsLedger", &clsUnitsLedger::layout, clsUnitsLedger::kRecordLength),
        picture("clsUnitnotes", &clsUnitnotes::layout, clsUnitnotes::kRecordLength),
        picture("clsUnitsHistory", &clsUnitsHistory::layout, clsUnitsHistory::kRecordLength),
        picture("clsLines", &clsLines::layout, clsLines::kRecordLength),
        picture("clsInvoiceHistory.common", &clsInvoiceHistory::commonLayout,
                clsInvoiceHistory::kRecordLength),
        picture("clsInvoiceHistory.invoice", &clsInvoiceHistory::invoiceLayout, 0),
        picture("clsInvoiceHistory.shop", &clsInvoiceHistory::shopLayout,
                clsInvoiceHistory::kRecordLength),
        picture("clsInvoiceHistoryDetail.line", &clsInvoiceHistoryDetail::lineLayout, 0),
        picture("clsInvoiceHistoryDetail.sales", &clsInvoiceHistoryDetail::salesLayout, 0),
        picture("clsInvoiceHistoryDetail.remark", &clsInvoiceHistoryDetail::remarkLayout,
                clsInvoiceHistoryDetail::kRecordLength),
        picture("UnitIndexKey", &UnitIndexKey::layout, UnitIndexKey::kLength),
        picture("LineIndexKey", &LineIndexKey::layout, LineIndexKey::kLength),
        picture("InvoicePage", &InvoicePage::layout, InvoicePage::kHeaderLength),
        picture("InvoicePageEntry", &InvoicePageEntry::layout, InvoicePage::kEntryLength),
        picture("InvoiceListSlot", &InvoiceListSlot::layout, InvoiceListSlot::kLength)),
    [](const auto& info) {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), '.', '_');
        return name;
    });

}  // namespace
}  // namespace fennick
