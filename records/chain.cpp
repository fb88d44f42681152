#include "records/chain.h"

#include <unordered_set>

namespace fennick {

ChainWalk walkChain(std::int32_t first, std::int32_t lastRecord,
                    const std::function<std::int32_t(std::int32_t)>& visit) {
    ChainWalk walk;
    std::unordered_set<std::int32_t> seen;
    for (std::int32_t number = first;;) {
        walk.stoppedAt = number;
        if (number == 0) {
            walk.stop = ChainStop::End;
            return walk;
        }
        if (number < 1 || number > lastRecord) {
            walk.stop = ChainStop::OutOfRange;
            return walk;
        }
        if (!seen.insert(number).second) {
            walk.stop = ChainStop::Loop;
            return walk;
        }
        ++walk.visited;
        number = visit(number);
    }
}

}  // namespace fennick
