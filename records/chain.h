#pragma once
// Walking a chain of records: a record names the first record of a list kept in another file,
// and every list record names the next in its own link field, 0 ending the list (unit notes,
// sub-ledger, history, invoice pages). Damaged files can hold links that loop or point outside
// the file; the walker stops there instead of running on, and says why it stopped.

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "engine/error.h"

namespace fennick {

// Same number the engine gives an index it cannot trust: the data is damaged.
constexpr std::int32_t kDamagedChain = err::kIndexDamaged;

enum class ChainStop {
    End,         // a link of 0
    Loop,        // a record number already visited
    OutOfRange,  // a record number below 1 or above the last record of the file
};

struct ChainWalk {
    ChainStop stop = ChainStop::End;
    std::int32_t stoppedAt = 0;  // the link that ended the walk
    std::int32_t visited = 0;    // records handed to the visitor
    bool looped() const { return stop == ChainStop::Loop; }
};

// One chain walked a link at a time, so that many chains can advance side by side: current()
// is the record to visit next, 0 once the walk has stopped (walk() says why).
class ChainCursor {
  public:
    ChainCursor(std::int32_t first, std::int32_t lastRecord);
    std::int32_t current() const { return current_; }
    // The link of the current record: the next record, or where the walk stops.
    void follow(std::int32_t link);
    const ChainWalk& walk() const { return walk_; }

  private:
    void arrive(std::int32_t number);

    std::int32_t lastRecord_;
    std::int32_t current_ = 0;
    ChainWalk walk_;
    std::unordered_set<std::int32_t> seen_;
};

// Hands `first` and each following record number to `visit`, which handles that record and
// answers the next number. Stops at 0, at a number seen before, or at a number outside 1 to
// `lastRecord`. Failures of `visit` reach the caller.
ChainWalk walkChain(std::int32_t first, std::int32_t lastRecord,
                    const std::function<std::int32_t(std::int32_t)>& visit);

// The records of one chain of a direct file, unpacked into record objects that have `Unpack`
// and a `Chain` field (clsUnitnotes, clsUnitsLedger, clsUnitsHistory), in chain order.
template <class Record>
struct ChainRecords {
    std::vector<Record> records;
    std::vector<std::int32_t> recordNumbers;
    ChainWalk walk;
};

}  // namespace fennick
