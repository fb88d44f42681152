#include "allocation.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_set>

#include "dealer_text.h"
#include "pattern_set.h"
#include "records/invoice_header.h"
#include "records/invoice_pages.h"

namespace fennick::core {

namespace {

constexpr const char* kInvoices = "INVOL";

// Called in a handler: rethrows when the share itself failed (isShareFailure), so that the
// action ends with a message. Without the bytes the check has no answer, and "not held" would
// offer a unit that an open ticket holds. Damaged bytes are passed over instead.
void endOnShareFailure(const std::exception& failure) {
    if (isShareFailure(failure)) throw;
}

bool readable(store::Store& store, std::int32_t record, bool unpackHeader) {
    try {
        std::string rec = store.recordBytes(kInvoices, record);
        if (unpackHeader) clsInvoiceHistory().Unpack(rec);
        return true;
    } catch (const std::exception& failure) {
        endOnShareFailure(failure);
        return false;
    }
}

bool openTickets(store::Store& store, const std::function<bool(std::int32_t)>& visit) {
    for (auto entry = store.find("TICKI", ""); !entry.end(); entry.next())
        if (readable(store, entry.record(), true) && visit(entry.record())) return true;
    return false;
}

// Hands `visit` every entry of the FILE0 invoice lists that is not empty, in list order, until
// `visit` answers true.
bool forEachListEntry(store::Store& store, const std::function<bool(std::int32_t)>& visit) {
    using List = InvoiceListSlot;
    store.readAheadBlocks("FILE0", List::kFirstBlock, List::kLastBlock);
    for (std::int32_t block = List::kFirstBlock; block <= List::kLastBlock; ++block)
        for (std::int32_t record : List::listed(store.plainBlock("FILE0", block)))
            if (visit(record)) return true;
    return false;
}

bool listedInvoices(store::Store& store, const std::function<bool(std::int32_t)>& visit) {
    // Damaged lists name record numbers outside the file by the thousand: they are passed over
    // here rather than each failing a read.
    std::int32_t last = 0;
    try {
        last = store.lastRecord(kInvoices);
    } catch (const std::exception& failure) {
        endOnShareFailure(failure);
    }
    return forEachListEntry(store, [&](std::int32_t rec) {
        return rec >= 1 && rec <= last && readable(store, rec, false) && visit(rec);
    });
}

// The pages of every open ticket and listed invoice, read ahead along their page links. The
// invoice lists are on their way while the open tickets' index is walked.
void readAheadSalesInProgress(store::Store& store) {
    if (!store.keeping()) return;
    using List = InvoiceListSlot;
    std::unique_ptr<store::Store::Beside> lists;
    if (store.cache()->readsSideBySide())
        lists = store.beside({"TICKI"}, {"FILE0"}, [&store] {
            store.readAheadBlocks("FILE0", List::kFirstBlock, List::kLastBlock);
        });
    std::vector<std::int32_t> starts = store.scanIndex("TICKI", "", "").records;
    if (lists) lists->finish();
    try {
        forEachListEntry(store, [&](std::int32_t rec) {
            starts.push_back(rec);
            return false;
        });
    } catch (const std::exception& failure) {
        // No lists to read ahead: the check itself meets this and goes on without them.
        endOnShareFailure(failure);
    }
    store.readAheadChains(kInvoices, starts, [](std::string_view bytes) {
        InvoicePage page;
        page.Unpack(bytes);
        return page.previousPage();
    });
}

}  // namespace

namespace {

bool lineHolds(const DetailLine& line, const std::string& unit) {
    for (const auto& element : line)
        if (containsText(element, unit)) return true;
    return false;
}

}  // namespace

void forEachSaleInProgress(store::Store& store,
                           const std::function<bool(std::int32_t record)>& visit) {
    if (!openTickets(store, visit)) listedInvoices(store, visit);
}

bool isUnitallocated(store::Store& store, const std::string&, const std::string&,
                     const std::string& unitNumber) {
    const std::string unit = codec::trun(unitNumber);
    try {
        bool found = false;
        forEachSaleInProgress(store, [&](std::int32_t record) {
            for (const auto& line : store.invoiceLines(record))
                if (lineHolds(line, unit)) return found = true;
            return false;
        });
        return found;
    } catch (const std::exception& failure) {
        endOnShareFailure(failure);
        return false;
    }
}

AllocatedUnits AllocatedUnits::collect(store::Store& store) {
    auto action = store.action();
    readAheadSalesInProgress(store);
    AllocatedUnits out;
    std::unordered_set<std::int32_t> seen;
    try {
        forEachSaleInProgress(store, [&](std::int32_t record) {
            if (seen.insert(record).second)
                for (const auto& line : store.invoiceLines(record))
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
        constexpr std::size_t kBlockBytes = 1 << 20;
        if (blocks_.empty() || blocks_.back().text.size() + element.size() > kBlockBytes) {
            blocks_.emplace_back();
            blocks_.back().text.reserve(std::max(kBlockBytes, element.size()));
        }
        Block& block = blocks_.back();
        block.text += element;
        block.ends.push_back(static_cast<std::uint32_t>(block.text.size()));
        anyText_ = true;
    }
}

std::vector<bool> AllocatedUnits::holdEach(const std::vector<std::string>& unitNumbers) const {
    std::vector<std::string> units;
    for (const auto& u : unitNumbers)
        units.push_back(codec::trun(u));
    std::vector<bool> found(units.size(), false);
    PatternSet patterns(units);
    for (const Block& block : blocks_) {
        std::size_t begin = 0;
        for (std::uint32_t end : block.ends) {
            patterns.markIn(std::string_view(block.text).substr(begin, end - begin), found);
            begin = end;
        }
    }
    for (std::size_t i = 0; i < units.size(); ++i)
        if (units[i].empty()) found[i] = anyText_;
    return found;
}

std::unique_ptr<SalesBeside> SalesBeside::start(store::Store& store,
                                                std::vector<std::string> files) {
    files.insert(files.end(), {"TICKI", kInvoices});
    std::unique_ptr<SalesBeside> out(new SalesBeside);
    SalesBeside* self = out.get();
    out->beside_ = store.beside(files, {"FILE0"},
                                [self, &store] { self->sales_ = AllocatedUnits::collect(store); });
    if (!out->beside_) return nullptr;
    return out;
}

AllocatedUnits SalesBeside::finish() {
    beside_->finish();
    return std::move(sales_);
}

}  // namespace fennick::core
