#include "records/chain.h"

namespace fennick {

ChainCursor::ChainCursor(std::int32_t first, std::int32_t lastRecord) : lastRecord_(lastRecord) {
    arrive(first);
}

void ChainCursor::follow(std::int32_t link) {
    if (current_ != 0) arrive(link);
}

void ChainCursor::arrive(std::int32_t number) {
    current_ = 0;
    walk_.stoppedAt = number;
    if (number == 0) {
        walk_.stop = ChainStop::End;
    } else if (number < 1 || number > lastRecord_) {
        walk_.stop = ChainStop::OutOfRange;
    } else if (!seen_.insert(number).second) {
        walk_.stop = ChainStop::Loop;
    } else {
        ++walk_.visited;
        current_ = number;
    }
}

ChainWalk walkChain(std::int32_t first, std::int32_t lastRecord,
                    const std::function<std::int32_t(std::int32_t)>& visit) {
    ChainCursor cursor(first, lastRecord);
    while (cursor.current() != 0)
        cursor.follow(visit(cursor.current()));
    return cursor.walk();
}

}  // namespace fennick
