#include "records/shop_detail.h"

#include <cstdio>
#include <cstdlib>
#include <limits>

#include "platform/services.h"
#include "records/chain.h"
#include "records/fields.h"
#include "records/invoice_pages.h"
#include "records/part_dashes.h"

namespace fennick {

namespace {

constexpr const char* kClassName = "clsShopDetail";
constexpr const char* kInvoices = "INVOL";

std::string twoDigits(int v) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", v % 100);
    return text;
}

std::string stamp(const platform::LocalDateTime& t) {
    return std::to_string(t.year) + "-" + twoDigits(t.month) + "-" + twoDigits(t.day) + " : " +
           twoDigits(t.hour) + ":" + twoDigits(t.minute) + ":" + twoDigits(t.second);
}

}  // namespace

void clsInvDetail::GetDetail() {
    pages_.fill(0);
    detail_.clear();
    error_ = false;
    bool opened = trapped("GetDetail", [&] {
        detailLine_ = clsInvoiceHistoryDetail();
        detailLine_.Unpack(engine_.LreadFile(kInvoices, invoiceRec_));
    });
    if (!opened) return;
    BuildPage(invoiceRec_);
    BuildDetail();
}

void clsInvDetail::BuildPage(std::int32_t RecordNumber) {
    trapped("BuildPage", [&] {
        bool reachedFirst = false;
        // The engine refuses record numbers beyond the file itself, with its own message.
        ChainWalk walk =
            walkChain(RecordNumber, std::numeric_limits<std::int32_t>::max(),
                      [&](std::int32_t number) { return visitPage(number, reachedFirst); });
        if (walk.looped())
            throw EngineError(kDamagedChain, kClassName,
                              "Page chain returns to record" + formatNumber(walk.stoppedAt));
        if (!reachedFirst)
            throw EngineError(err::kIllegalRecord, kClassName,
                              "Illegal Record Number" + formatNumber(walk.stoppedAt));
    });
}

// Records one page in the page table; answers the record of the page before it, 0 at page 1.
std::int32_t clsInvDetail::visitPage(std::int32_t recordNumber, bool& reachedFirst) {
    InvoicePage head;
    head.Unpack(engine_.LreadFile(kInvoices, recordNumber));
    const std::int32_t page = head.Page, link = head.Link;
    if (page < 1 || page > kLastPage)
        throw EngineError(err::kSubscriptOutOfRange, kClassName,
                          "Page number" + formatNumber(page) + " of record" +
                              formatNumber(recordNumber) + " is outside 1 to 200");
    pages_[static_cast<std::size_t>(page)] = recordNumber;
    if (page > pages_[0]) pages_[0] = page;
    if (page == 1) {
        reachedFirst = true;
        return 0;
    }
    if (link == 0)
        throw EngineError(err::kIllegalRecord, kClassName,
                          "Page" + formatNumber(page) + " of record" + formatNumber(recordNumber) +
                              " links to no page before it");
    return link;
}

void clsInvDetail::BuildDetail() {
    detail_.clear();
    trapped("BuildDetail", [&] {
        for (std::int32_t page = 1; page <= pages_[0]; ++page) {
            std::int32_t number = pages_[static_cast<std::size_t>(page)];
            if (number == 0) continue;  // no page of this number on the chain
            std::string rec = engine_.LreadFile(kInvoices, number);
            for (std::string_view entry : InvoicePage::entries(rec))
                detail_.push_back(decodeEntry(entry));
        }
    });
}

clsInvDetail::DetailLine clsInvDetail::decodeEntry(std::string_view bytes) {
    InvoicePageEntry entry;
    entry.Unpack(bytes);
    if (entry.isRemark()) return {entry.Line_Code, entry.Remark, "", "0", "0", "0"};
    return {entry.Line_Code,           records::insertDashes(entry.Part_Number, entry.Dash_Code),
            entry.Description,         std::to_string(entry.Quantity_Tenths / 10),
            std::to_string(entry.Net), std::to_string(entry.Cost)};
}

bool clsInvDetail::trapped(const std::string& step, const std::function<void()>& body) {
    try {
        body();
        return true;
    } catch (const std::exception& e) {
        // A read the share failed ends the action; nothing half-read counts as read.
        if (isShareFailure(e)) throw;
        auto* engine = dynamic_cast<const EngineError*>(&e);
        if (engine)
            fail(step, engine->number(), engine->description(), engine->source());
        else
            fail(step, 0, e.what(), kClassName);
    }
    return false;
}

// The event-log line: date : time : step, number, description and source.
void clsInvDetail::fail(const std::string& step, std::int32_t number,
                        const std::string& description, const std::string& source) {
    lastError_ = stamp(engine_.Now()) + " : " + kClassName + " : " + step + std::to_string(number) +
                 "  " + description + "  " + source;
    error_ = true;
    platform::eventLog().write(lastError_);
}

}  // namespace fennick
