#include "store/read_plan.h"

#include <algorithm>
#include <iterator>
#include <set>
#include <unordered_set>

#include "engine/index_node.h"

namespace fennick::store::plan {

namespace {

constexpr int kMaxChainSteps = 256;
constexpr std::int64_t kChainReadBytes = 512;

std::int64_t blockOffset(const cLogicalFile& file, std::int32_t block) {
    return (std::int64_t(file.Position) + block) * kIndexBlock;
}

void readBlocks(ReadCache& cache, cLogicalFile& file, const std::vector<std::int32_t>& blocks) {
    std::vector<ByteRange> ranges;
    for (std::int32_t block : blocks)
        ranges.push_back({blockOffset(file, block), kIndexBlock});
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

std::int32_t readAheadCount(const cLogicalFile& file) {
    return static_cast<std::int32_t>(
        std::max<std::int64_t>(1, kChainReadBytes / file.RecordLength));
}

}  // namespace

bool inFile(const cLogicalFile& file, std::int32_t number) {
    return number >= 1 && number <= file.LastRecord;
}

ByteRange recordRange(const cLogicalFile& file, std::int32_t record, std::int32_t count) {
    return {blockOffset(file, 0) + std::int64_t(record) * file.RecordLength,
            std::int64_t(count) * file.RecordLength};
}

void readRecords(ReadCache& cache, cLogicalFile& file, const std::vector<std::int32_t>& records,
                 std::int32_t count) {
    if (file.RecordLength <= 0) return;
    std::vector<ByteRange> ranges;
    for (std::int32_t record : records) {
        if (!inFile(file, record)) continue;
        ranges.push_back(
            recordRange(file, record, std::min(std::max(count, 1), file.LastRecord - record + 1)));
    }
    cache.prefetch(*file.OpenFile->handle, std::move(ranges));
}

IndexScan scanIndex(ReadCache& cache, cLogicalFile& file, std::string from, std::string to) {
    IndexScan out;
    auto block = [&](std::int32_t number) {
        return readPadded(*file.OpenFile, blockOffset(file, number), kIndexBlock, "iReadFile");
    };
    std::string header = block(0);
    std::int32_t e = IndexHeader{header}.entryLength();
    if (!validEntryLength(e)) return out;
    from.resize(static_cast<std::size_t>(e - 4), '\0');
    if (!to.empty()) to.resize(static_cast<std::size_t>(e - 4), '\0');
    std::vector<std::int32_t> level{IndexHeader{header}.root()};
    std::set<std::int32_t> visited;
    for (int depth = 0; depth < kMaxIndexLevels && !level.empty(); ++depth) {
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
    return out;
}

void readChainStep(ReadCache& cache, cLogicalFile& file, const std::vector<std::int32_t>& step) {
    std::vector<std::int32_t> missing;
    std::copy_if(step.begin(), step.end(), std::back_inserter(missing), [&](std::int32_t record) {
        return !cache.holds(*file.OpenFile->handle, recordRange(file, record));
    });
    readRecords(cache, file, missing, readAheadCount(file));
}

// One batch of reads per step along the chains; a record that cannot be read ends its chain.
void readChains(cBusinessBasic& engine, ReadCache& cache, const std::shared_ptr<cLogicalFile>& file,
                const std::vector<std::int32_t>& heads,
                const std::function<std::int32_t(std::string_view record)>& next) {
    std::unordered_set<std::int32_t> seen;
    std::vector<std::int32_t> step;
    for (std::int32_t head : heads)
        if (inFile(*file, head) && seen.insert(head).second) step.push_back(head);
    for (int s = 0; s < kMaxChainSteps && !step.empty(); ++s) {
        readChainStep(cache, *file, step);
        std::vector<std::int32_t> following;
        for (std::int32_t record : step) {
            try {
                std::int32_t link = next(engine.LreadFile(file, record));
                if (inFile(*file, link) && seen.insert(link).second) following.push_back(link);
            } catch (const std::exception& failure) {
                // Damage is left to the walk, which reads this record itself and reports it.
                if (isShareFailure(failure)) throw;
            }
        }
        step = std::move(following);
    }
}

}  // namespace fennick::store::plan
