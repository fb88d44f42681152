#pragma once
// Reading ahead what an action is about to walk record by record. Each function learns which
// records come next (from index nodes or from the links of the records themselves) and hands
// their byte ranges to the action's read cache, which reads them in large, overlapping batches;
// the walk that follows then finds its records in memory. The walk stays the one that decides:
// what the prefetch missed or could not read, the walk reads itself, so the results are those of
// the record-by-record walk whatever state the share is in. Without a cache that keeps reads
// (batching off, or outside an action) every function does nothing.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/business_basic.h"
#include "read_cache.h"

namespace fennick::core {

// The engine's read cache while it keeps reads for an action; nullptr otherwise.
ReadCache* batchingCache(cBusinessBasic& engine);

// Reads the given records of a direct file ahead, each with the `readAhead` - 1 records after
// it. Numbers outside the file are left out.
void prefetchRecords(cBusinessBasic& engine, const std::string& logical,
                     const std::vector<std::int32_t>& records, std::int32_t readAhead = 1);

struct IndexScan {
    std::vector<std::int32_t> records;  // of the entries with keys in the range, in key order
    std::int32_t following = 0;         // of the first entry at or beyond the range's end
};

// Scans an index level by level, each level's nodes in the range read together: the entries
// with keys from `from` up to but not including `to` (empty: to the end). Every node a KFind and
// KNext walk over that range reads is then in the cache.
IndexScan scanIndex(cBusinessBasic& engine, const std::string& logical, std::string from,
                    std::string to);

// Follows many chains of a direct file at once, one batch of reads per step along them: `next`
// answers the number of the record a record links to (0: none). Each record is read with the
// records after it up to 512 bytes, where the rest of a chain usually lies.
void prefetchChains(cBusinessBasic& engine, const std::string& logical,
                    const std::vector<std::int32_t>& heads,
                    const std::function<std::int32_t(const std::string& record)>& next);

}  // namespace fennick::core
