#pragma once
// The demo dealer: a few product lines, tens of models, hundreds of units with notes and
// sub-ledger postings, sold units, open multi-page tickets and pending invoices listed in FILE0,
// so that every rule of the unit list shows. Its dates count back from the day it is dated from,
// so that its stock spreads over every age bucket of the stock ageing. Deterministic: the same
// options give the same share.

#include <cstdint>

#include "dealer_data.h"

namespace fennick::demo {

struct DemoOptions {
    std::int32_t units = 400;
    std::int32_t models = 0;    // 0: max(30, units / 200)
    std::int32_t tickets = 0;   // 0: max(12, units / 100)
    std::int32_t listed = 0;    // 0: max(8, units / 25), at most the 7936 list entries
    std::int32_t maxPages = 3;  // pages of an open ticket
    std::uint64_t seed = 20240611;
    // The day the share is dated from; required, so that nothing depends on the clock unasked.
    Date today = codec::kEmptyDate;
};

// A day to date shares from that must come out the same whatever the date: tests and benchmarks.
constexpr Date kFixedDay = Date{std::chrono::year{2025} / 6 / 11};

DealerData generateDemo(const DemoOptions& options);

}  // namespace fennick::demo
