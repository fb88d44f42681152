#pragma once
// One 512-byte node of a keyed index: entry count (C at 1), next-leaf link (C at 3; 0 in an
// inner node, 65535 in the last leaf) and from byte 5 the entries, each a key followed by a
// 4-byte pointer (L; -1 reads as 0): a record number in a leaf, a child block in an inner node.
// The image is not copied; `valid` tells whether its entry count fits the node.

#include <cstdint>
#include <string>
#include <string_view>

#include "codec.h"

namespace fennick {

// Blocks of an index are 512 bytes; block 0 is the header, which holds the entry length (C at
// 1) and the root block (C at 9). A walk from the root never goes deeper than kMaxLevels.
constexpr std::int32_t kIndexBlock = 512;
constexpr int kMaxIndexLevels = 7;

struct IndexHeader {
    std::string_view image;
    std::int32_t entryLength() const { return codec::unpack("C", image, 1); }
    std::int32_t root() const { return codec::unpack("C", image, 9); }
};

class IndexNode {
  public:
    static constexpr std::int32_t kLastLeaf = 65535;

    IndexNode(std::string_view image, std::int32_t entryLength) : image_(image), e_(entryLength) {}
    std::int32_t count() const { return codec::unpack("C", image_, 1); }
    std::int32_t link() const { return codec::unpack("C", image_, 3); }
    bool leaf() const { return link() != 0; }
    bool valid() const { return image_.size() >= 512 && count() <= 255 && count() * e_ <= 508; }
    std::string_view entry(std::int32_t i) const {
        return image_.substr(static_cast<std::size_t>(4 + (i - 1) * e_),
                             static_cast<std::size_t>(e_));
    }
    std::string key(std::int32_t i) const { return std::string(entry(i).substr(0, e_ - 4)); }
    std::int32_t pointer(std::int32_t i) const {
        std::int32_t p = codec::unpack("L", entry(i), e_ - 3);
        return p == -1 ? 0 : p;
    }

  private:
    std::string_view image_;
    std::int32_t e_;
};

// An entry length an index can have: a key of 1 to 504 bytes and its pointer.
inline bool validEntryLength(std::int32_t e) {
    return e >= 5 && e <= 508;
}

}  // namespace fennick
