#include "prefetch.h"

#include <algorithm>
#include <iterator>
#include <set>
#include <unordered_set>

#include "engine/index_node.h"

namespace fennick::core {

namespace {

constexpr std::int32_t kBlock = 512;
constexpr int kMaxLevels = 7;
constexpr int kMaxChainSteps = 256;
constexpr std::int64_t kChainReadBytes = 512;

std::shared_ptr<cLogicalFile> openLogical(cBusinessBasic& engine, const std::string& logical) {
    auto file = engine.LogicalOpen(logical);
    if (!file || !file->OpenFile || !file->OpenFile->handle) return nullptr;
    return file;
}

std::int64_t blockOffset(const cLogicalFile& file, std::int32_t block) {
    return (std::int64_t(file.Position) + block) * kBlock;
}

std::int64_t recordOffset(const cLogicalFile& file, std::int32_t record) {
    return blockOffset(file, 0) + std::int64_t(record) * file.RecordLength;
}

bool inFile(const cLogicalFile& file, std::int32_t number) {
    return number >= 1 && number <= file.LastRecord;
}

void readBlocks(ReadCache& cache, cLogicalFile& file, const std::vector<std::int32_t>& blocks) {
    std::vector<ByteRange> ranges;
    for (std::int32_t block : blocks)
        ranges.push_back({blockOffset(file, block), kBlock});
    cache.prefetch(*file.OpenFile->handle, std::move(ranges));
}

void readRecords(ReadCache& cache, cLogicalFile& file, const std::vector<std::int32_t>& records,
                 std::int32_t readAhead) {
    if (file.RecordLength <= 0) return;
    std::vector<ByteRange> ranges;
    for (std::int32_t record : records) {
        if (!inFile(file, record)) continue;
        std::int32_t count = std::min(std::max(readAhead, 1), file.LastRecord - record + 1);
        ranges.push_back({recordOffset(file, record), std::int64_t(count) * file.RecordLength});
    }
    cache.prefetch(*file.OpenFile->handle, std::move(ranges));
}

// What the scan of one level of an index finds: the next level's blocks, or from the leaves the
// records in the range.
struct LevelScan {
    const std::string& from;
    const std::string& to;
    IndexScan& out;
    std::vector<std::int32_t> children;
    std::string previous;  // the highest key of the subtree before the current entry
    bool havePrevious = false;
    bool done = false;

    bool beforeEnd(const std::string& key) const { return to.empty() || key < to; }

    // A child holds the keys from its left neighbour's highest key up to its own entry's key.
    void inner(const IndexNode& node) {
        for (std::int32_t i = 1; i <= node.count(); ++i) {
            std::string key = node.key(i);
            if (key >= from && (!havePrevious || beforeEnd(previous)))
                children.push_back(node.pointer(i));
            previous = std::move(key);
            havePrevious = true;
        }
    }
    void leaf(const IndexNode& node) {
        for (std::int32_t i = 1; i <= node.count() && !done; ++i) {
            std::string key = node.key(i);
            std::int32_t record = node.pointer(i);
            if (key < from) continue;
            if (!beforeEnd(key)) {
                out.following = record;
                done = true;
            } else if (record > 0) {
                out.records.push_back(record);
            }
        }
    }
};

void scanLevels(ReadCache& cache, cLogicalFile& file, std::string& from, std::string& to,
                IndexScan& out) {
    auto block = [&](std::int32_t number) {
        return readPadded(*file.OpenFile, blockOffset(file, number), kBlock, "iReadFile");
    };
    std::string header = block(0);
    std::int32_t e = codec::unpack("C", header, 1);
    if (!validEntryLength(e)) return;
    from.resize(static_cast<std::size_t>(e - 4), '\0');
    if (!to.empty()) to.resize(static_cast<std::size_t>(e - 4), '\0');
    std::vector<std::int32_t> level{codec::unpack("C", header, 9)};
    std::set<std::int32_t> visited;
    for (int depth = 0; depth < kMaxLevels && !level.empty(); ++depth) {
        std::erase_if(
            level, [&](std::int32_t b) { return !inFile(file, b) || !visited.insert(b).second; });
        readBlocks(cache, file, level);
        LevelScan scan{from, to, out, {}, {}, false, false};
        for (std::int32_t number : level) {
            std::string image = block(number);
            IndexNode node(image, e);
            if (!node.valid()) continue;
            if (node.leaf())
                scan.leaf(node);
            else
                scan.inner(node);
            if (scan.done) break;
        }
        level = std::move(scan.children);
    }
}

// One batch of reads per step along the chains; a record that cannot be read ends its chain.
void followChains(cBusinessBasic& engine, ReadCache& cache,
                  const std::shared_ptr<cLogicalFile>& file, const std::vector<std::int32_t>& heads,
                  const std::function<std::int32_t(const std::string& record)>& next) {
    const auto readAhead =
        static_cast<std::int32_t>(std::max<std::int64_t>(1, kChainReadBytes / file->RecordLength));
    auto held = [&](std::int32_t record) {
        return cache.holds(*file->OpenFile->handle,
                           {recordOffset(*file, record), file->RecordLength});
    };
    std::unordered_set<std::int32_t> seen;
    std::vector<std::int32_t> step;
    for (std::int32_t head : heads)
        if (inFile(*file, head) && seen.insert(head).second) step.push_back(head);
    for (int s = 0; s < kMaxChainSteps && !step.empty(); ++s) {
        std::vector<std::int32_t> missing;
        std::copy_if(step.begin(), step.end(), std::back_inserter(missing),
                     [&](std::int32_t record) { return !held(record); });
        readRecords(cache, *file, missing, readAhead);
        std::vector<std::int32_t> following;
        for (std::int32_t record : step) {
            try {
                std::int32_t link = next(engine.LreadFile(file, record));
                if (inFile(*file, link) && seen.insert(link).second) following.push_back(link);
            } catch (const std::exception&) {
                // Left to the walk, which reads this record itself and reports the failure.
            }
        }
        step = std::move(following);
    }
}

}  // namespace

ReadCache* batchingCache(cBusinessBasic& engine) {
    ReadCache* cache = ReadCache::of(engine.Share());
    return cache && cache->keeping() ? cache : nullptr;
}

// Reading ahead is only a help: every failure on the way is left for the walk, which meets it
// where the record-by-record walk does and reports it the same way.

void prefetchRecords(cBusinessBasic& engine, const std::string& logical,
                     const std::vector<std::int32_t>& records, std::int32_t readAhead) {
    ReadCache* cache = batchingCache(engine);
    if (!cache || records.empty()) return;
    try {
        if (auto file = openLogical(engine, logical))
            readRecords(*cache, *file, records, readAhead);
    } catch (const std::exception&) {
    }
}

IndexScan scanIndex(cBusinessBasic& engine, const std::string& logical, std::string from,
                    std::string to) {
    IndexScan out;
    ReadCache* cache = batchingCache(engine);
    if (!cache) return out;
    try {
        if (auto file = openLogical(engine, logical)) scanLevels(*cache, *file, from, to, out);
    } catch (const std::exception&) {
    }
    return out;
}

void prefetchChains(cBusinessBasic& engine, const std::string& logical,
                    const std::vector<std::int32_t>& heads,
                    const std::function<std::int32_t(const std::string& record)>& next) {
    ReadCache* cache = batchingCache(engine);
    if (!cache || heads.empty()) return;
    try {
        auto file = openLogical(engine, logical);
        if (file && file->RecordLength > 0) followChains(engine, *cache, file, heads, next);
    } catch (const std::exception&) {
    }
}

}  // namespace fennick::core
