#pragma once
// Writes a complete keyed index from keys in ascending order: the header block, leaves chained
// by next-leaf links with the end marker last, and inner levels up to one root. Used by the
// share writer and by tests; the viewer itself never writes an index.

#include <cstdint>
#include <string>
#include <vector>

#include "writers_only.h"

namespace fennick {

struct IndexEntry {
    std::string key;  // exactly the key length
    std::int32_t record = 0;
};

struct IndexImage {
    std::string bytes;           // block 0 (header) followed by every node
    std::int32_t lastBlock = 0;  // highest block number used
};

// entriesPerNode 0 fills every node to capacity; a smaller number makes deeper trees (tests).
// Fails with std::invalid_argument on keys out of order or of the wrong length, duplicates
// when they are not allowed, or an index that would not fit the block numbers or 7 levels.
IndexImage buildIndex(std::int32_t keyLength, const std::vector<IndexEntry>& sortedEntries,
                      bool duplicateKeys, std::int32_t entriesPerNode = 0);

}  // namespace fennick
