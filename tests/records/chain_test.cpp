#include "records/chain.h"

#include <gtest/gtest.h>

#include <map>

namespace fennick {
namespace {

// Walks a chain held in a map of record number to next record number.
struct Links {
    explicit Links(std::initializer_list<std::pair<const std::int32_t, std::int32_t>> links = {})
        : next(links) {}
    std::map<std::int32_t, std::int32_t> next;
    std::vector<std::int32_t> visited;
    ChainWalk walk(std::int32_t first, std::int32_t last = 100) {
        return walkChain(first, last, [&](std::int32_t n) {
            visited.push_back(n);
            return next.at(n);
        });
    }
};

TEST(ChainWalker, FollowsLinksToZero) {
    Links links({{7, 12}, {12, 3}, {3, 0}});
    auto walk = links.walk(7);
    EXPECT_EQ(links.visited, (std::vector<std::int32_t>{7, 12, 3}));
    EXPECT_EQ(walk.stop, ChainStop::End);
    EXPECT_EQ(walk.visited, 3);
    EXPECT_FALSE(walk.looped());
    EXPECT_EQ(Links().walk(0).visited, 0);
}

TEST(ChainWalker, StopsOnTheFirstRepeatedRecord) {
    Links links({{7, 12}, {12, 3}, {3, 12}});
    auto walk = links.walk(7);
    EXPECT_EQ(links.visited, (std::vector<std::int32_t>{7, 12, 3}));
    EXPECT_TRUE(walk.looped());
    EXPECT_EQ(walk.stoppedAt, 12);

    Links self({{5, 5}});
    EXPECT_TRUE(self.walk(5).looped());
    EXPECT_EQ(self.visited.size(), 1u);
}

TEST(ChainWalker, StopsOutsideTheFile) {
    Links links({{7, 101}});
    auto walk = links.walk(7, 100);
    EXPECT_EQ(walk.stop, ChainStop::OutOfRange);
    EXPECT_EQ(walk.stoppedAt, 101);
    Links negative({{7, -3}});
    EXPECT_EQ(negative.walk(7).stop, ChainStop::OutOfRange);
    EXPECT_EQ(negative.visited.size(), 1u);
}

}  // namespace
}  // namespace fennick
