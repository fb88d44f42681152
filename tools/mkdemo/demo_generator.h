#pragma once
// The demo dealer: a few product lines, tens of models, hundreds of units with notes and
// sub-ledger postings, sold units, open multi-page tickets and pending invoices listed in FILE0,
// so that every rule of the unit list shows. Deterministic: the same options give the same share.

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
};

DealerData generateDemo(const DemoOptions& options);

}  // namespace fennick::demo
