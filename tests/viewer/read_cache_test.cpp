#include "viewer/core/read_cache.h"

#include <gtest/gtest.h>

namespace fennick::viewer {
namespace {

TEST(ReadCache, RepeatedReadsInsideAScopeStayInMemory) {
    auto inner = std::make_unique<platform::MemoryFileSystem>();
    inner->setFile("\\\\S\\T\\F", "abcdefgh");
    auto* memory = inner.get();
    ReadCache cache(std::move(inner));
    auto file = cache.open("\\\\S\\T\\F", platform::Access::ReadWrite);
    ASSERT_TRUE(file);
    char buf[4] = {};
    {
        ReadCache::Scope scope(&cache);
        ReadCache::Scope nested(&cache);
        file->readAt(2, buf, 3);
        file->readAt(2, buf, 3);
        EXPECT_EQ(std::string(buf, 3), "cde");
        EXPECT_EQ(cache.shareCounters().reads, 1);
        file->writeAt(2, "X", 1);  // a write drops what was kept
        file->readAt(2, buf, 3);
        EXPECT_EQ(std::string(buf, 3), "Xde");
        EXPECT_EQ(cache.shareCounters().reads, 2);
    }
    file->readAt(2, buf, 3);
    file->readAt(2, buf, 3);
    EXPECT_EQ(cache.shareCounters().reads, 4);  // outside a scope every read reaches the share
    EXPECT_EQ(cache.counters().reads, 5);       // every read asked for, kept or not
    EXPECT_EQ(*memory->contents("\\\\S\\T\\F"), "abXdefgh");
}

}  // namespace
}  // namespace fennick::viewer
