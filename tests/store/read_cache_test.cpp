#include "store/read_cache.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

namespace fennick::store {
namespace {

const std::string kPath = "\\\\S\\T\\F";

struct CachedShare {
    explicit CachedShare(std::string bytes, ReadPolicy policy = {}) {
        auto inner = std::make_unique<platform::MemoryFileSystem>();
        inner->setFile(kPath, std::move(bytes));
        memory = inner.get();
        cache = std::make_unique<ReadCache>(std::move(inner), policy);
        file = cache->open(kPath, platform::Access::ReadWrite);
    }
    std::string read(std::int64_t offset, std::size_t n) {
        std::string buf(n, '?');
        buf.resize(file->readAt(offset, buf.data(), n));
        return buf;
    }
    std::int64_t shareReads() { return cache->shareCounters().reads; }

    platform::MemoryFileSystem* memory;
    std::unique_ptr<ReadCache> cache;
    std::unique_ptr<platform::File> file;
};

TEST(ReadCache, KeepsReadsForOneActionOnly) {
    CachedShare s("abcdefgh", ReadPolicy{.wholeFile = 0});
    {
        ReadCache::Scope scope(s.cache.get());
        ReadCache::Scope nested(s.cache.get());
        EXPECT_EQ(s.read(2, 3), "cde");
        EXPECT_EQ(s.read(3, 2), "de");
        EXPECT_EQ(s.shareReads(), 1);
        EXPECT_EQ(s.read(6, 9), "gh");  // the end of the file is kept as well
        EXPECT_EQ(s.read(7, 4), "h");
        EXPECT_EQ(s.read(9, 4), "");
        EXPECT_EQ(s.shareReads(), 2);
        s.file->writeAt(2, "X", 1);  // a write drops what was kept
        EXPECT_EQ(s.read(2, 3), "Xde");
        EXPECT_EQ(s.shareReads(), 3);
    }
    s.read(2, 3);
    s.read(2, 3);
    EXPECT_EQ(s.shareReads(), 5);             // outside a scope every read reaches the share
    EXPECT_EQ(s.cache->counters().reads, 8);  // every read asked for, kept or not
    s.cache->setBatching(false);
    ReadCache::Scope scope(s.cache.get());
    s.read(2, 3);
    s.read(2, 3);
    EXPECT_EQ(s.shareReads(), 7);  // record by record: nothing is kept
}

struct WholeFileCase {
    const char* name;
    std::size_t size;
    std::int64_t wholeFile;
    std::int64_t shareReads;  // for the four reads of the test, far apart
};

class WholeFile : public ::testing::TestWithParam<WholeFileCase> {};

TEST_P(WholeFile, SmallFilesAreReadWholeAtTheFirstRead) {
    const WholeFileCase& c = GetParam();
    std::string bytes;
    for (std::size_t i = 0; i < c.size; ++i)
        bytes += static_cast<char>('a' + i % 26);
    CachedShare s(bytes, ReadPolicy{.wholeFile = c.wholeFile});
    ReadCache::Scope scope(s.cache.get());
    for (std::size_t offset : {c.size / 2, std::size_t{0}, c.size / 4, c.size - 8})
        EXPECT_EQ(s.read(static_cast<std::int64_t>(offset), 8), bytes.substr(offset, 8));
    EXPECT_EQ(s.shareReads(), c.shareReads);
}

INSTANTIATE_TEST_SUITE_P(ReadCache, WholeFile,
                         ::testing::Values(WholeFileCase{"up_to_a_round_trip_of_bytes", 4096, -1,
                                                         1},
                                           WholeFileCase{"at_the_limit", 4096, 4096, 1},
                                           WholeFileCase{"past_the_limit", 4097, 4096, 4},
                                           WholeFileCase{"never", 100, 0, 4}),
                         [](const auto& info) { return std::string(info.param.name); });

struct CoalesceCase {
    const char* name;
    std::vector<ByteRange> ranges;
    std::vector<std::vector<ByteRange>> reads;  // {offset, length} of each read's members
};

void PrintTo(const CoalesceCase& c, std::ostream* out) {
    *out << c.name;
}

class Coalesce : public ::testing::TestWithParam<CoalesceCase> {};

TEST_P(Coalesce, GroupsNeighboursIntoReads) {
    ReadPolicy policy{100, 1000, 4};
    EXPECT_EQ(coalesce(GetParam().ranges, policy), GetParam().reads);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, Coalesce,
    ::testing::Values(
        CoalesceCase{"nothing", {{5, 0}, {-1, 4}}, {}},
        CoalesceCase{"overlapping_merge", {{50, 20}, {0, 60}, {60, 5}}, {{{0, 70}}}},
        CoalesceCase{"touching_stay_apart", {{10, 10}, {0, 10}}, {{{0, 10}, {10, 10}}}},
        CoalesceCase{"gap_read_through",
                     {{300, 10}, {0, 100}, {200, 10}},
                     {{{0, 100}, {200, 10}, {300, 10}}}},
        CoalesceCase{"wide_gap_splits", {{0, 10}, {111, 10}}, {{{0, 10}}, {{111, 10}}}},
        CoalesceCase{"largest_read_the_next_starts_where_it_ends",
                     {{0, 600}, {650, 300}, {960, 50}},
                     {{{0, 600}, {650, 300}}, {{950, 10}, {960, 50}}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct GapCase {
    const char* name;
    std::vector<ByteRange> ranges;
    int inFlight;
    std::int64_t gap;  // worth reading through, with a round trip worth 100 bytes
};

void PrintTo(const GapCase& c, std::ostream* out) {
    *out << c.name;
}

class GapWorthReading : public ::testing::TestWithParam<GapCase> {};

TEST_P(GapWorthReading, ReadsThroughOnlyWhereRoundTripsAreSaved) {
    EXPECT_EQ(gapWorthReading(GetParam().ranges, GetParam().inFlight, 100), GetParam().gap);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, GapWorthReading,
    ::testing::Values(
        // Four reads go in one round: reading through a gap saves nothing.
        GapCase{"one_round", {{0, 10}, {20, 10}, {40, 10}, {60, 10}}, 4, 0},
        // Five reads take two rounds; the smallest gap (5) saves the second for 5 bytes.
        GapCase{"saves_a_round", {{0, 10}, {15, 10}, {50, 10}, {80, 10}, {110, 10}}, 4, 5},
        // Saving the second round costs 60 + 70 bytes, more than the round trip's 100.
        GapCase{"round_not_worth_it", {{0, 10}, {70, 10}, {150, 10}, {240, 10}}, 2, 0},
        // Overlapping and touching ranges make no gap; gaps over a round trip never count.
        GapCase{"touching_and_wide", {{0, 10}, {5, 10}, {15, 10}, {500, 10}, {530, 10}}, 1, 20}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadCache, PrefetchReadsAroundABadBlock) {
    CachedShare s(std::string(4096, 'x'), ReadPolicy{1024, 1 << 20, 2});
    s.memory->setUnreadable(kPath, 1024, 512);
    ReadCache::Scope scope(s.cache.get());
    std::vector<ByteRange> wanted{{0, 512}, {512, 512}, {1024, 512}, {2048, 512}, {3584, 512}};
    s.cache->prefetch(*s.file, wanted);
    std::int64_t afterPrefetch = s.shareReads();
    for (const auto& range : wanted)
        EXPECT_EQ(s.cache->holds(*s.file, range), range.offset != 1024) << range.offset;
    EXPECT_EQ(s.read(3584, 512).size(), 512u);
    EXPECT_THROW(s.read(1024, 512), platform::IoError);  // the share is asked again, and fails
    s.cache->prefetch(*s.file, {{0, 1024}});
    EXPECT_EQ(s.shareReads(), afterPrefetch);  // nothing that is kept is read again
}

// A share with a link of its own shape, whose reads can lose the server, and which notes what
// its reads had on the way together (each read taking `readTime`).
class LinkShare : public platform::MemoryFileSystem {
  public:
    platform::ReadShape shape;
    bool lost = false;
    std::atomic<int> reads = 0;
    std::chrono::milliseconds readTime{0};
    std::atomic<std::int64_t> onTheWay = 0, widestOnTheWay = 0, largestRead = 0;
    std::atomic<int> together = 0, mostTogether = 0;
    platform::ReadShape readShape() const override { return shape; }

  protected:
    std::unique_ptr<platform::File> doOpen(const std::string& path,
                                           platform::Access access) override {
        auto inner = MemoryFileSystem::doOpen(path, access);
        return inner ? std::make_unique<Lossy>(counters_, std::move(inner), *this) : nullptr;
    }

  private:
    class Lossy : public platform::File {
      public:
        Lossy(platform::IoCounters& c, std::unique_ptr<platform::File> f, LinkShare& share)
            : File(c), file_(std::move(f)), share_(share) {}
        std::int64_t length() const override { return file_->length(); }
        bool readOnly() const override { return true; }

      protected:
        std::size_t doRead(std::int64_t offset, char* buf, std::size_t n) override {
            ++share_.reads;
            if (share_.lost) throw platform::ConnectionLost("lost");
            const auto bytes = static_cast<std::int64_t>(n);
            raise(share_.largestRead, bytes);
            raise(share_.widestOnTheWay, share_.onTheWay += bytes);
            raise(share_.mostTogether, ++share_.together);
            std::this_thread::sleep_for(share_.readTime);
            share_.onTheWay -= bytes;
            --share_.together;
            return file_->readAt(offset, buf, n);
        }
        template <typename T>
        static void raise(std::atomic<T>& most, T now) {
            for (T seen = most; now > seen && !most.compare_exchange_weak(seen, now);) {
            }
        }
        void doWrite(std::int64_t, const char*, std::size_t) override {}

      private:
        std::unique_ptr<platform::File> file_;
        LinkShare& share_;
    };
};

// With no policy of its own the cache reads as the share's link is shaped: gaps up to the
// share's figure are read through; a lost server ends the round at once, nothing split and
// asked again.
TEST(ReadCache, PrefetchFollowsTheShareAndStopsWhenTheServerIsLost) {
    auto owned = std::make_unique<LinkShare>();
    LinkShare& share = *owned;
    share.setFile(kPath, std::string(64 * 1024, 'x'));
    share.shape = {8192, 1};
    ReadCache cache(std::move(owned));
    auto file = cache.open(kPath, platform::Access::Read);
    ReadCache::Scope scope(&cache);
    const std::vector<ByteRange> wanted{{0, 512}, {6000, 512}, {40000, 512}, {60000, 512}};
    cache.prefetch(*file, {wanted[0], wanted[1]});
    EXPECT_EQ(share.reads, 1);  // a gap of 5,488 bytes is read through
    share.lost = true;
    EXPECT_THROW(cache.prefetch(*file, {wanted[2], wanted[3]}), platform::ConnectionLost);
    EXPECT_EQ(share.reads, 2);
}

struct OnTheWayCase {
    const char* name;
    bool givesWay;               // read on a thread whose reads give way
    int inFlight;                // reads the share serves at once
    std::int64_t bytesInFlight;  // the share's figure; 0: no limit
    std::vector<ByteRange> wanted;
    std::int64_t largestRead, widestOnTheWay;  // at most
    std::int64_t largestAtLeast;
    int mostTogether;  // at least
};

class OnTheWayTest : public testing::TestWithParam<OnTheWayCase> {};

// Where the share limits the bytes on the way, reads that give way take a long run in pieces of
// a quarter of that (all of it where the share serves one read at a time), never more on the way
// together; small reads still go together as the share allows. The action's own reads are not
// held back.
TEST_P(OnTheWayTest, ReadsKeepTheSharesBytesOnTheWay) {
    const OnTheWayCase& c = GetParam();
    auto owned = std::make_unique<LinkShare>();
    LinkShare& share = *owned;
    share.setFile(kPath, std::string(4 << 20, 'x'));
    share.shape = {32 * 1024, c.inFlight, c.bytesInFlight};
    share.readTime = std::chrono::milliseconds(20);
    ReadCache cache(std::move(owned), ReadPolicy{.wholeFile = 0});
    auto file = cache.open(kPath, platform::Access::Read);
    ReadCache::Scope scope(&cache);
    std::optional<ReadCache::GivingWay> givingWay;
    if (c.givesWay) givingWay.emplace();
    cache.prefetch(*file, c.wanted);
    EXPECT_LE(share.largestRead, c.largestRead);
    EXPECT_GE(share.largestRead, c.largestAtLeast);
    EXPECT_LE(share.widestOnTheWay, c.widestOnTheWay);
    EXPECT_GE(share.mostTogether, c.mostTogether);
}

constexpr std::int64_t kKB = 1024;
// 512 bytes every `step` bytes over 2 MB: records a chain walk wants, close enough to read through.
std::vector<ByteRange> recordsEvery(std::int64_t step) {
    std::vector<ByteRange> out;
    for (std::int64_t at = 0; at < 2048 * kKB; at += step)
        out.push_back({at, 512});
    return out;
}
INSTANTIATE_TEST_SUITE_P(
    ReadCache, OnTheWayTest,
    testing::Values(OnTheWayCase{"LongRunLimited", true, 8, 256 * kKB, recordsEvery(kKB), 64 * kKB,
                                 256 * kKB, 32 * kKB, 2},
                    OnTheWayCase{"OneReadAtATimeLimited", true, 1, 256 * kKB, recordsEvery(kKB),
                                 256 * kKB, 256 * kKB, 128 * kKB, 1},
                    OnTheWayCase{"LongRunFree", true, 8, 0, recordsEvery(kKB), 1024 * kKB,
                                 2048 * kKB, 32 * kKB, 2},
                    OnTheWayCase{"LongRunOfTheActionItself", false, 8, 256 * kKB, recordsEvery(kKB),
                                 1024 * kKB, 2048 * kKB, 512 * kKB, 2},
                    OnTheWayCase{
                        "SmallReadsLimited",
                        true,
                        8,
                        4 * kKB,
                        {{0, 512}, {kKB * kKB, 512}, {2 * kKB * kKB, 512}, {3 * kKB * kKB, 512}},
                        512,
                        4 * kKB,
                        512,
                        4}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace fennick::store
