#include "records/chain.h"

#include <gtest/gtest.h>

#include <map>

namespace fennick {
namespace {

TEST(ChainWalker, StopsAtARepeatedRecordAndOutsideTheFile) {
    std::map<std::int32_t, std::int32_t> next{{7, 12}, {12, 3}, {3, 12}, {20, 101}, {30, -3}};
    std::vector<std::int32_t> visited;
    auto visit = [&](std::int32_t n) {
        visited.push_back(n);
        return next.at(n);
    };
    auto walk = walkChain(7, 100, visit);
    EXPECT_EQ(visited, (std::vector<std::int32_t>{7, 12, 3}));
    EXPECT_TRUE(walk.looped());
    EXPECT_EQ(walk.stoppedAt, 12);
    EXPECT_EQ(walk.visited, 3);
    for (std::int32_t first : {20, 30}) {
        walk = walkChain(first, 100, visit);
        EXPECT_EQ(walk.stop, ChainStop::OutOfRange) << first;
        EXPECT_EQ(walk.visited, 1);
    }
    EXPECT_EQ(walkChain(0, 100, visit).visited, 0);
}

}  // namespace
}  // namespace fennick
