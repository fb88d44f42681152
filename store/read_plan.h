#pragma once
// Reading ahead what an action is about to walk record by record. Each function learns which
// records come next (from index nodes or from the links of the records themselves) and hands
// their byte ranges to the action's read cache, which reads them in large, overlapping batches;
// the walk that follows then finds its records in memory. The walk stays the one that decides:
// what the read-ahead missed or could not read, the walk reads itself, so the results are those
// of the record-by-record walk whatever state the share is in.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/business_basic.h"
#include "store/read_cache.h"
#include "store/store.h"

namespace fennick::store::plan {

// Byte ranges of a direct file's records and of an index's blocks.
ByteRange recordRange(const cLogicalFile& file, std::int32_t record, std::int32_t count = 1);
bool inFile(const cLogicalFile& file, std::int32_t number);

// The records given, each with the `count` - 1 records after it; numbers outside the file are
// left out.
void readRecords(ReadCache& cache, cLogicalFile& file, const std::vector<std::int32_t>& records,
                 std::int32_t count);

// Scans an index level by level, each level's nodes in the range read together: the entries
// with keys from `from` up to but not including `to` (empty: to the end). Every node a walk
// over that range reads is then in the cache.
IndexScan scanIndex(ReadCache& cache, cLogicalFile& index, std::string from, std::string to);

// Follows many chains at once, one batch of reads per step along them: `next` answers the
// number of the record a record links to (0: none). Each record is read with the records after
// it up to 512 bytes, where the rest of a chain usually lies.
void readChains(cBusinessBasic& engine, ReadCache& cache, const std::shared_ptr<cLogicalFile>& file,
                const std::vector<std::int32_t>& heads,
                const std::function<std::int32_t(std::string_view record)>& next);

// The records of a direct file a chain walk will read next that the cache does not hold yet,
// read as one batch (with the records after each up to 512 bytes).
void readChainStep(ReadCache& cache, cLogicalFile& file, const std::vector<std::int32_t>& step);

}  // namespace fennick::store::plan
