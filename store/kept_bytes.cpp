#include "store/kept_bytes.h"

#include <algorithm>
#include <cstring>

namespace fennick::store {

void KeptBytes::keep(std::int64_t offset, std::string bytes, std::size_t asked) {
    const std::int64_t end = offset + static_cast<std::int64_t>(bytes.size());
    if (bytes.size() < asked) end_ = std::min(end_, end);
    std::int64_t at = offset;
    auto it = pieces_.upper_bound(at);
    if (it != pieces_.begin()) {
        auto before = std::prev(it);
        at = std::max(at, before->first + static_cast<std::int64_t>(before->second.size()));
    }
    if (at == offset && (it == pieces_.end() || it->first >= end)) {
        // Nothing of the range is kept yet (the usual case): keep the bytes as they came.
        if (end > offset) {
            bytes_ += end - offset;
            pieces_.emplace_hint(it, offset, std::move(bytes));
        }
        return;
    }
    // Fill each gap between kept pieces that the new bytes reach.
    while (at < end) {
        std::int64_t gapEnd = it == pieces_.end() ? end : std::min(end, it->first);
        if (gapEnd > at) {
            pieces_.emplace_hint(it, at,
                                 bytes.substr(static_cast<std::size_t>(at - offset),
                                              static_cast<std::size_t>(gapEnd - at)));
            bytes_ += gapEnd - at;
        }
        if (it == pieces_.end()) break;
        at = std::max(at, it->first + static_cast<std::int64_t>(it->second.size()));
        ++it;
    }
}

std::optional<std::size_t> KeptBytes::copy(std::int64_t offset, char* buf, std::size_t n) const {
    if (n == 0) return 0;
    const std::int64_t end = std::min(offset + static_cast<std::int64_t>(n), end_);
    if (end <= offset) return end_ <= offset ? std::optional<std::size_t>(0) : std::nullopt;
    auto it = pieces_.upper_bound(offset);
    if (it == pieces_.begin()) return std::nullopt;
    --it;
    std::int64_t at = offset;
    while (at < end) {
        if (it == pieces_.end() || it->first > at) return std::nullopt;
        std::int64_t pieceEnd = it->first + static_cast<std::int64_t>(it->second.size());
        if (pieceEnd <= at) return std::nullopt;
        std::int64_t take = std::min(end, pieceEnd) - at;
        if (buf)
            std::memcpy(buf + (at - offset), it->second.data() + (at - it->first),
                        static_cast<std::size_t>(take));
        at += take;
        ++it;
    }
    return static_cast<std::size_t>(end - offset);
}

}  // namespace fennick::store
