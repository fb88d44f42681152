#include "index_builder.h"

#include <stdexcept>

#include "codec.h"

namespace fennick {

namespace {

constexpr std::size_t kBlock = 512;
constexpr std::int32_t kLastLeaf = 65535;

struct NodeRef {
    std::int32_t block;
    std::string lastKey;
};

std::string node(const std::vector<IndexEntry>& entries, std::size_t from, std::size_t to,
                 std::int32_t link, std::int32_t entryLength) {
    std::string image(kBlock, '\0');
    codec::pack("C", image, static_cast<std::int32_t>(to - from), 1);
    codec::pack("C", image, link, 3);
    std::size_t at = 4;
    for (std::size_t i = from; i < to; ++i) {
        image.replace(at, entries[i].key.size(), entries[i].key);
        codec::pack("L", image, entries[i].record, static_cast<std::int32_t>(at) + entryLength - 3);
        at += static_cast<std::size_t>(entryLength);
    }
    return image;
}

void checkOrder(std::int32_t keyLength, const std::vector<IndexEntry>& entries, bool duplicates) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].key.size() != static_cast<std::size_t>(keyLength))
            throw std::invalid_argument("index key of the wrong length");
        if (i == 0) continue;
        int order = entries[i - 1].key.compare(entries[i].key);
        if (order > 0 || (order == 0 && !duplicates))
            throw std::invalid_argument("index keys out of order");
    }
}

}  // namespace

IndexImage buildIndex(std::int32_t keyLength, const std::vector<IndexEntry>& sortedEntries,
                      bool duplicateKeys, std::int32_t entriesPerNode) {
    const std::int32_t entryLength = keyLength + 4;
    if (keyLength < 1 || entryLength > 508) throw std::invalid_argument("bad index key length");
    const std::int32_t capacity = std::min(508 / entryLength, 255);
    const std::int32_t perNode = entriesPerNode > 0 ? std::min(entriesPerNode, capacity) : capacity;
    if (perNode < 2) throw std::invalid_argument("index nodes must hold two entries");
    checkOrder(keyLength, sortedEntries, duplicateKeys);

    std::vector<IndexEntry> level = sortedEntries;
    level.push_back({std::string(static_cast<std::size_t>(keyLength), '\xFF'), -1});

    std::string body;
    std::int32_t nextBlock = 1;
    bool leaves = true;
    std::int32_t depth = 0;
    while (true) {
        ++depth;
        std::size_t nodes = (level.size() + perNode - 1) / perNode;
        if (nextBlock + static_cast<std::int64_t>(nodes) > kLastLeaf || depth > 7)
            throw std::invalid_argument("index too large");
        std::vector<IndexEntry> parents;
        for (std::size_t n = 0; n < nodes; ++n) {
            std::size_t from = n * perNode, to = std::min(level.size(), from + perNode);
            std::int32_t block = nextBlock + static_cast<std::int32_t>(n);
            std::int32_t link = !leaves ? 0 : n + 1 < nodes ? block + 1 : kLastLeaf;
            body += node(level, from, to, link, entryLength);
            parents.push_back({level[to - 1].key, block});
        }
        nextBlock += static_cast<std::int32_t>(nodes);
        if (nodes == 1) break;
        level = std::move(parents);
        leaves = false;
    }
    const std::int32_t root = nextBlock - 1;
    std::string header(kBlock, '\0');
    codec::pack("C", header, entryLength, 1);
    codec::pack("C", header, 508 / entryLength, 3);
    codec::pack("C", header, root, 5);
    codec::pack("C", header, 2, 7);
    codec::pack("C", header, root, 9);
    codec::pack("C", header, 508 / entryLength, 11);
    codec::pack("C", header, duplicateKeys ? 0xFFFF : 0, 13);
    return {header + body, root};
}

}  // namespace fennick
