#include "allocation.h"

#include <cstdlib>
#include <unordered_set>

#include "dealer_text.h"
#include "pattern_set.h"
#include "platform/file_system.h"
#include "prefetch.h"
#include "read_cache.h"
#include "records/invoice_header.h"

namespace fennick::core {

namespace {

constexpr const char* kInvoices = "INVOL";
constexpr std::int32_t kFirstListBlock = 701, kLastListBlock = 764;
constexpr std::size_t kSlotLength = 128, kEntriesPerSlot = 31;

// Called in a handler: rethrows when the share itself failed (the connection or the device), so
// that the action ends with a message. Without the bytes the check has no answer, and "not
// held" would offer a unit that an open ticket holds. Damaged bytes are passed over instead.
void endOnShareFailure(const std::exception& failure) {
    if (dynamic_cast<const platform::ConnectionLost*>(&failure)) throw;
    auto* engineError = dynamic_cast<const EngineError*>(&failure);
    if (engineError && engineError->number() == err::kDeviceIo) throw;
}

bool readable(cBusinessBasic& engine, std::int32_t record, bool unpackHeader) {
    try {
        std::string rec = engine.LreadFile(kInvoices, record);
        if (unpackHeader) clsInvoiceHistory().Unpack(rec);
        return true;
    } catch (const std::exception& failure) {
        endOnShareFailure(failure);
        return false;
    }
}

bool allNul(std::string_view bytes) {
    return bytes.find_first_not_of('\0') == std::string_view::npos;
}

bool openTickets(cBusinessBasic& engine, const std::function<bool(std::int32_t)>& visit) {
    std::string buff, key;
    std::int32_t rec = 0;
    engine.KFind("TICKI", buff, key, rec);
    for (rec = std::abs(rec); rec > 0; engine.KNext("TICKI", buff, key, rec))
        if (readable(engine, rec, true) && visit(rec)) return true;
    return false;
}

// Hands `visit` every entry of the FILE0 invoice lists that is not all NUL, in list order,
// until `visit` answers true; a slot that is all NUL is skipped whole.
bool forEachListEntry(cBusinessBasic& engine, const std::function<bool(std::int32_t)>& visit) {
    std::string name = "FILE0";
    auto file = engine.OpenFile(name);
    if (!file)
        throw EngineError(err::kEngine, "isUnitallocated", "File not Found: \"" + name + "\"");
    if (ReadCache* cache = batchingCache(engine); cache && file->handle) {
        constexpr std::int64_t kBlock = 512;
        cache->prefetch(*file->handle, {{kFirstListBlock * kBlock,
                                         (kLastListBlock - kFirstListBlock + 1) * kBlock}});
    }
    for (std::int32_t block = kFirstListBlock; block <= kLastListBlock; ++block) {
        std::string bytes = engine.BlockReadFile(file, block);
        for (std::size_t slot = 0; slot < 4; ++slot) {
            if (allNul(std::string_view(bytes).substr(slot * kSlotLength + 4, 124))) continue;
            for (std::size_t k = 0; k < kEntriesPerSlot; ++k) {
                std::size_t at = slot * kSlotLength + 4 + k * 4;
                if (allNul(std::string_view(bytes).substr(at, 4))) continue;
                if (visit(engine.Unpack("L", bytes, static_cast<std::int32_t>(at + 1))))
                    return true;
            }
        }
    }
    return false;
}

bool listedInvoices(cBusinessBasic& engine, const std::function<bool(std::int32_t)>& visit) {
    return forEachListEntry(
        engine, [&](std::int32_t rec) { return readable(engine, rec, false) && visit(rec); });
}

// The pages of every open ticket and listed invoice, read ahead along their page links.
void prefetchSalesInProgress(cBusinessBasic& engine) {
    if (!batchingCache(engine)) return;
    std::vector<std::int32_t> starts = scanIndex(engine, "TICKI", "", "").records;
    try {
        forEachListEntry(engine, [&](std::int32_t rec) {
            starts.push_back(rec);
            return false;
        });
    } catch (const std::exception&) {
        // No lists to read ahead: the check itself meets this and goes on without them.
    }
    prefetchChains(engine, kInvoices, starts,
                   [](const std::string& page) { return clsInvDetail::previousPage(page); });
}

bool lineHolds(const DetailLine& line, const std::string& unit) {
    for (const auto& element : line)
        if (containsText(element, unit)) return true;
    return false;
}

}  // namespace

void forEachSaleInProgress(cBusinessBasic& engine,
                           const std::function<bool(std::int32_t record)>& visit) {
    if (!openTickets(engine, visit)) listedInvoices(engine, visit);
}

std::vector<DetailLine> invoiceLines(cBusinessBasic& engine, std::int32_t record) {
    clsInvDetail detail(engine);
    detail.InvoiceRec(record);
    detail.GetDetail();
    return detail.TakeDetail();
}

bool isUnitallocated(cBusinessBasic& engine, const std::string&, const std::string&,
                     const std::string& unitNumber) {
    const std::string unit = codec::trun(unitNumber);
    try {
        bool found = false;
        forEachSaleInProgress(engine, [&](std::int32_t record) {
            for (const auto& line : invoiceLines(engine, record))
                if (lineHolds(line, unit)) return found = true;
            return false;
        });
        return found;
    } catch (const std::exception& failure) {
        endOnShareFailure(failure);
        return false;
    }
}

AllocatedUnits AllocatedUnits::collect(cBusinessBasic& engine) {
    ReadCache::Scope cached(engine.Share());
    prefetchSalesInProgress(engine);
    AllocatedUnits out;
    std::unordered_set<std::int32_t> seen;
    try {
        forEachSaleInProgress(engine, [&](std::int32_t record) {
            if (seen.insert(record).second)
                for (const auto& line : invoiceLines(engine, record))
                    out.add(line);
            return false;
        });
    } catch (const std::exception& failure) {
        endOnShareFailure(failure);
        // What was gathered before damaged bytes still counts, as it does unit by unit.
    }
    return out;
}

void AllocatedUnits::add(const DetailLine& line) {
    for (const auto& element : line) {
        if (element.empty()) continue;
        text_ += element;
        ends_.push_back(static_cast<std::uint32_t>(text_.size()));
        anyText_ = true;
    }
}

std::vector<bool> AllocatedUnits::holdEach(const std::vector<std::string>& unitNumbers) const {
    std::vector<std::string> units;
    for (const auto& u : unitNumbers)
        units.push_back(codec::trun(u));
    std::vector<bool> found(units.size(), false);
    PatternSet patterns(units);
    std::size_t begin = 0;
    for (std::uint32_t end : ends_) {
        patterns.markIn(std::string_view(text_).substr(begin, end - begin), found);
        begin = end;
    }
    for (std::size_t i = 0; i < units.size(); ++i)
        if (units[i].empty()) found[i] = anyText_;
    return found;
}

}  // namespace fennick::core
