// Keyed index access: search and walk a balanced tree of 512-byte nodes. The caller's work
// buffer holds the cursor (header copy, entry number, level, path and the current node's image).
// Every node read from the file is checked before use, so a damaged index ends a walk (record
// number 0) instead of crashing or looping.

#include <set>

#include "business_basic.h"
#include "index_node.h"
#include "platform/services.h"

namespace fennick {

namespace {

constexpr std::int32_t kBlock = kIndexBlock;
constexpr std::size_t kBuffSize = 544;
constexpr std::size_t kNodeAt = 32;  // 0-based start of the node image in the work buffer
constexpr std::int32_t kLastLeaf = IndexNode::kLastLeaf;
constexpr int kMaxLevels = kMaxIndexLevels;

int compareKeys(std::string_view a, std::string_view b) {
    return a.compare(b);
}

using Node = IndexNode;

std::uint8_t byteAt(const std::string& buff, std::size_t pos1) {
    return static_cast<std::uint8_t>(buff[pos1 - 1]);
}

void setByte(std::string& buff, std::size_t pos1, std::int32_t value) {
    buff[pos1 - 1] = static_cast<char>(value & 0xFF);
}

// A walk's keys never go back against its direction. Equal keys are allowed (an index may
// hold duplicates), but a run of them enters each leaf once at most: work buffer bytes 15-16
// (zero in the header copy) count the leaves entered since the key last moved on, and a run
// longer than the index has blocks is a loop in a damaged index. `order` compares the new key
// with the cursor's in the walk's direction.
bool stepAllowed(std::string& buff, int order, bool enteredLeaf, std::int32_t lastBlock) {
    if (order < 0) return false;
    std::int32_t run = order > 0 ? 0 : codec::unpack("C", buff, 15) + (enteredLeaf ? 1 : 0);
    if (run > lastBlock) return false;
    codec::pack("C", buff, run, 15);
    return true;
}

std::int32_t pathSlot(const std::string& buff, int level) {
    return codec::unpack("C", buff, 2 * level + 17);
}

void setPathSlot(std::string& buff, int level, std::int32_t block) {
    if (level >= 1 && level <= kMaxLevels) codec::pack("C", buff, block, 2 * level + 17);
}

}  // namespace

// Reading of index blocks for one logical file, with the range checks every walk needs.
class IndexReader {
  public:
    explicit IndexReader(const std::shared_ptr<cLogicalFile>& file) : file_(checked(file)) {}
    std::string header() { return block(0); }
    std::string block(std::int32_t number) {
        return readPadded(*file_.OpenFile, (std::int64_t(file_.Position) + number) * kBlock, kBlock,
                          "iReadFile");
    }
    bool inRange(std::int32_t number) const { return number >= 1 && number <= file_.LastRecord; }
    cLogicalFile& file() { return file_; }
    // The index names something outside its file: the out-of-range message, and the walk ends.
    void showOutOfRange() const {
        platform::messages().show(
            "Index is returning information out of Range.  File: " + file_.FileName +
                " LastRec: " + formatNumber(file_.LastRecord),
            "Fennick", platform::MessageIcon::Critical);
    }
    // The record number of a leaf entry: 0 for the end marker, the number itself when it is
    // positive; a negative one is damage, shown as out of range and read as the end.
    std::int32_t recordOf(std::int32_t pointer) const {
        if (pointer >= 0) return pointer;
        showOutOfRange();
        return 0;
    }

  private:
    static cLogicalFile& checked(const std::shared_ptr<cLogicalFile>& file) {
        if (!file)
            throw EngineError(err::kEngine, "iLreadFile", "LogicalFile parameter is undefined");
        if (!file->OpenFile || !file->OpenFile->handle)
            throw EngineError(err::kEngine, "iReadFile", "OpenFile parameter is undefined");
        return *file;
    }
    cLogicalFile& file_;
};

namespace {

// Positions the cursor at the first entry not less than Key; false when no cursor was set.
// `damagedEntry` tells that entry's record number was negative (Rec is then 0).
bool findCursor(IndexReader& reader, std::string& Buff, std::string& Key, std::int32_t& Rec,
                bool& damagedEntry) {
    damagedEntry = false;
    std::string header = reader.header();
    std::int32_t e = IndexHeader{header}.entryLength();
    Rec = 0;
    if (!validEntryLength(e)) return false;
    std::size_t k = static_cast<std::size_t>(e - 4);
    Key.resize(k, '\0');
    if (Buff.size() < kBuffSize) Buff.resize(kBuffSize, '\0');
    Buff.replace(0, kBlock, header);

    std::string candidate(k, '\xFF');
    std::int32_t link = 0, level = 0, i = 0;
    Rec = IndexHeader{header}.root();
    while (link == 0) {
        if (Rec > reader.file().LastRecord) {
            reader.showOutOfRange();
            Rec = 0;
            return false;
        }
        if (Rec < 1 || ++level > kMaxLevels) return Rec = 0, false;
        std::set<std::int32_t> visited{Rec};
        Buff.replace(kNodeAt, kBlock, reader.block(Rec));
        setPathSlot(Buff, level, Rec);
        bool stopped = false;
        while (!stopped) {
            Node node(std::string_view(Buff).substr(kNodeAt, kBlock), e);
            if (!node.valid()) return Rec = 0, false;
            link = node.link();
            for (i = 1; i <= node.count(); ++i) {
                candidate = node.key(i);
                Rec = node.pointer(i);
                if (compareKeys(candidate, Key) >= 0) {
                    stopped = true;
                    break;
                }
            }
            if (stopped) break;
            if (link == kLastLeaf || link == 0 || !reader.inRange(link) || visited.count(link))
                return Rec = 0, false;
            visited.insert(link);
            Buff.replace(kNodeAt, kBlock, reader.block(link));
            setPathSlot(Buff, level, link);
        }
        if (link == 0 && Rec < 1) return Rec = 0, false;
    }
    // A leaf entry with a negative record number is damage, never negated: it reads as the end.
    if (Rec < 0) {
        Rec = 0;
        damagedEntry = true;
    }
    if (compareKeys(Key, candidate) < 0) {
        Rec = -Rec;
        Key = candidate;
    }
    setByte(Buff, 17, i);
    setByte(Buff, 18, level);
    return true;
}

}  // namespace

void cBusinessBasic::KFind(const LogicalRef& LogicalFile, std::string& Buff, std::string& Key,
                           std::int32_t& Rec, bool) {
    IndexReader reader(resolve(LogicalFile));
    bool damagedEntry = false;
    findCursor(reader, Buff, Key, Rec, damagedEntry);
    if (damagedEntry) reader.showOutOfRange();
}

void cBusinessBasic::KNext(const LogicalRef& LogicalFile, std::string& Buff, std::string& Key,
                           std::int32_t& Rec, bool) {
    IndexReader reader(resolve(LogicalFile));
    Rec = 0;
    if (Buff.size() < kBuffSize) return;
    std::int32_t e = codec::unpack("C", Buff, 1);
    if (!validEntryLength(e)) return;
    std::int32_t i = byteAt(Buff, 17);
    std::int32_t level = byteAt(Buff, 18);
    Node node(std::string_view(Buff).substr(kNodeAt, kBlock), e);
    if (!node.valid()) return;
    const std::string lastKey = i >= 1 && i <= node.count() ? node.key(i) : std::string();
    const bool enteredLeaf = i >= node.count();
    if (enteredLeaf) {
        // Into the next leaf, stepping over empty ones. Keys never go down along the leaf
        // chain, so a link back to smaller keys (a loop) ends the walk.
        std::int32_t link = node.link();
        std::set<std::int32_t> visited;
        std::string image;
        while (true) {
            if (link == kLastLeaf || link == 0 || !reader.inRange(link) || visited.count(link))
                return;
            visited.insert(link);
            image = reader.block(link);
            Node next(image, e);
            if (!next.valid()) return;
            if (next.count() == 0) {
                link = next.link();
                continue;
            }
            if (compareKeys(next.key(1), lastKey) < 0) return;
            break;
        }
        Buff.replace(kNodeAt, kBlock, image);
        setPathSlot(Buff, level, link);
        i = 0;
    }
    Node current(std::string_view(Buff).substr(kNodeAt, kBlock), e);
    ++i;
    if (!stepAllowed(Buff, compareKeys(current.key(i), lastKey), enteredLeaf,
                     reader.file().LastRecord))
        return;
    Key = current.key(i);
    Rec = reader.recordOf(current.pointer(i));
    setByte(Buff, 17, i);
}

void cBusinessBasic::KPrev(const LogicalRef& LogicalFile, std::string& Buff, std::string& Key,
                           std::int32_t& Rec, bool) {
    IndexReader reader(resolve(LogicalFile));
    Rec = 0;
    if (Buff.size() < kBuffSize) return;
    const std::string saved = Buff;
    std::int32_t e = codec::unpack("C", Buff, 1);
    std::int32_t i = byteAt(Buff, 17);
    std::int32_t level = byteAt(Buff, 18);
    if (!validEntryLength(e) || level < 1 || level > kMaxLevels) return;
    auto node = [&] { return Node(std::string_view(Buff).substr(kNodeAt, kBlock), e); };
    auto damaged = [&] {
        Buff = saved;
        return EngineError(
            err::kIndexDamaged, "KPrev",
            "Index entry not found in parent node of file: " + reader.file().FileName);
    };
    if (!node().valid() || i < 1 || i > node().count()) return;
    // A damaged inner node can lead back up the key order, which would repeat for ever.
    const std::string startKey = node().key(i);
    const bool enteredLeaf = i == 1;

    int L = level;
    while (i == 1) {
        if (--L < 1) {
            Buff = saved;
            setByte(Buff, 17, i);
            return;
        }
        std::int32_t count = node().count();
        std::string rebuilt(node().entry(count));
        codec::pack("L", rebuilt, pathSlot(Buff, L + 1), e - 3);
        Key = rebuilt;
        std::int32_t parent = pathSlot(Buff, L);
        if (!reader.inRange(parent)) throw damaged();
        Buff.replace(kNodeAt, kBlock, reader.block(parent));
        if (!node().valid()) throw damaged();
        i = 0;
        for (std::int32_t j = node().count(); j >= 1; --j)
            if (node().entry(j) == std::string_view(rebuilt)) {
                i = j;
                break;
            }
        if (i == 0) throw damaged();
    }
    while (L < level) {
        std::int32_t child = node().pointer(i - 1);
        if (!reader.inRange(child)) throw damaged();
        Buff.replace(kNodeAt, kBlock, reader.block(child));
        if (!node().valid() || node().count() < 1) throw damaged();
        setPathSlot(Buff, ++L, child);
        i = node().count() + 1;
    }
    --i;
    if (!stepAllowed(Buff, compareKeys(startKey, node().key(i)), enteredLeaf,
                     reader.file().LastRecord))
        throw damaged();
    Key = node().key(i);
    Rec = reader.recordOf(node().pointer(i));
    setByte(Buff, 17, i);
}

void cBusinessBasic::KLast(const LogicalRef& LogicalFile, std::string& Buff, std::string& Key,
                           std::int32_t& Rec, bool) {
    IndexReader reader(resolve(LogicalFile));
    std::string header = reader.header();
    std::int32_t e = IndexHeader{header}.entryLength();
    Rec = 0;
    if (!validEntryLength(e)) return;
    if (Buff.size() < kBuffSize) Buff.resize(kBuffSize, '\0');
    Buff.replace(0, kBlock, header);
    std::int32_t block = IndexHeader{header}.root(), link = 0, level = 0, count = 0;
    while (link == 0) {
        if (!reader.inRange(block) || ++level > kMaxLevels) return;
        Buff.replace(kNodeAt, kBlock, reader.block(block));
        Node node(std::string_view(Buff).substr(kNodeAt, kBlock), e);
        if (!node.valid() || node.count() < 1) return;
        count = node.count();
        link = node.link();
        setPathSlot(Buff, level, block);
        block = node.pointer(count);
    }
    Node leaf(std::string_view(Buff).substr(kNodeAt, kBlock), e);
    std::int32_t i = count - 1;
    setByte(Buff, 18, level);
    if (i < 1) {
        // The last leaf holds only the end marker: the last key is the one before it.
        setByte(Buff, 17, count);
        KPrev(LogicalFile, Buff, Key, Rec);
        return;
    }
    Key = leaf.key(i);
    Rec = reader.recordOf(leaf.pointer(i));
    setByte(Buff, 17, i);
}

std::int32_t cBusinessBasic::KCount(const LogicalRef& LogicalFile, bool) {
    IndexReader reader(resolve(LogicalFile));
    std::string work(kBuffSize, '\0'), key;
    std::int32_t rec = 0;
    bool damagedEntry = false;  // counting needs no record numbers
    if (!findCursor(reader, work, key, rec, damagedEntry)) return 0;
    std::int32_t e = codec::unpack("C", work, 1);
    Node first(std::string_view(work).substr(kNodeAt, kBlock), e);
    std::int64_t total = first.count();
    std::int32_t link = first.link();
    std::set<std::int32_t> visited{pathSlot(work, byteAt(work, 18))};
    while (link != kLastLeaf && link != 0 && reader.inRange(link) && !visited.count(link)) {
        visited.insert(link);
        std::string image = reader.block(link);
        Node leaf(image, e);
        if (!leaf.valid()) break;
        total += leaf.count();
        link = leaf.link();
    }
    // The end marker is not a key; a chain cut short by damage never reached it.
    if (link == kLastLeaf) --total;
    return static_cast<std::int32_t>(std::max<std::int64_t>(total, 0));
}

std::int32_t cBusinessBasic::KLength(const LogicalRef& LogicalFile, bool) {
    IndexReader reader(resolve(LogicalFile));
    return codec::unpack("C", reader.header(), 1) - 4;
}

}  // namespace fennick
