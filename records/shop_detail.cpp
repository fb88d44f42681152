#include "records/shop_detail.h"

#include <cstdio>
#include <cstdlib>
#include <limits>

#include "platform/file_system.h"
#include "platform/services.h"
#include "records/chain.h"
#include "records/fields.h"
#include "records/part_dashes.h"

namespace fennick {

namespace {

using coding::Int;

constexpr const char* kClassName = "clsShopDetail";
constexpr const char* kInvoices = "INVOL";
constexpr std::int32_t kPageHeader = 160;
constexpr std::int32_t kEntryLength = 44;

std::string twoDigits(int v) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", v % 100);
    return text;
}

std::string stamp(const platform::LocalDateTime& t) {
    return std::to_string(t.year) + "-" + twoDigits(t.month) + "-" + twoDigits(t.day) + " : " +
           twoDigits(t.hour) + ":" + twoDigits(t.minute) + ":" + twoDigits(t.second);
}

// Line entries a page record of `length` bytes has room for.
std::int32_t entryRoom(std::size_t length) {
    return length > kPageHeader ? static_cast<std::int32_t>((length - kPageHeader) / kEntryLength)
                                : 0;
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
    std::string rec = engine_.LreadFile(kInvoices, recordNumber);
    std::int32_t page = pageNumber(rec);
    std::int32_t link = pageLink(rec);
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

std::int32_t clsInvDetail::pageNumber(std::string_view page) {
    return codec::unpack("B", page, 115);
}

std::int32_t clsInvDetail::pageLink(std::string_view page) {
    return std::abs(codec::unpack("K", page, 110));
}

void clsInvDetail::BuildDetail() {
    detail_.clear();
    trapped("BuildDetail", [&] {
        for (std::int32_t page = 1; page <= pages_[0]; ++page) {
            std::int32_t number = pages_[static_cast<std::size_t>(page)];
            if (number == 0) continue;  // no page of this number on the chain
            std::string rec = engine_.LreadFile(kInvoices, number);
            std::int32_t count = std::min(codec::unpack(Int::U8, rec, 146), entryRoom(rec.size()));
            for (std::int32_t k = 0; k < count; ++k)
                detail_.push_back(decodeEntry(std::string_view(rec).substr(
                    static_cast<std::size_t>(kPageHeader + kEntryLength * k), kEntryLength)));
        }
    });
}

clsInvDetail::DetailLine clsInvDetail::decodeEntry(std::string_view entry) {
    records::FieldReader in(entry, records::dashPunctuationAlphabet());
    DetailLine line;
    line[0] = in.compressed(1, 2);
    if (line[0] == "REM") {
        line[1] = in.compressed(3, 42);
        line[3] = line[4] = line[5] = "0";
        return line;
    }
    line[1] = records::insertDashes(in.compressed(3, 12), in.compressed(15, 2));
    line[2] = in.compressed(17, 14);
    line[3] = std::to_string(codec::unpack(Int::S16, entry, 31) / 10);
    line[4] = std::to_string(codec::unpack(Int::S24, entry, 33));
    line[5] = std::to_string(codec::unpack(Int::U24, entry, 36));
    return line;
}

bool clsInvDetail::trapped(const std::string& step, const std::function<void()>& body) {
    try {
        body();
        return true;
    } catch (const platform::ConnectionLost&) {
        throw;  // the action ends; nothing half-read counts as read
    } catch (const EngineError& e) {
        fail(step, e.number(), e.description(), e.source());
    } catch (const platform::IoError& e) {
        fail(step, err::kDeviceIo, e.what(), kClassName);
    } catch (const std::exception& e) {
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
