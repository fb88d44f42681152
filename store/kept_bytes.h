#pragma once
// The bytes of one file that reads have brought in: non-overlapping pieces by offset, and where
// the file ends once a short read has shown it. A range can be answered from memory when every
// byte of it up to that end is kept.

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace fennick::store {

class KeptBytes {
  public:
    // Keeps what a read of `asked` bytes at `offset` returned; fewer bytes mean the file ends
    // there. Bytes already kept stay as they are.
    void keep(std::int64_t offset, std::string bytes, std::size_t asked);
    // Copies the range into `buf` when it is kept; the number of bytes the file holds there.
    std::optional<std::size_t> copy(std::int64_t offset, char* buf, std::size_t n) const;
    bool covers(std::int64_t offset, std::size_t n) const {
        return copy(offset, nullptr, n).has_value();
    }
    std::int64_t bytes() const { return bytes_; }

  private:
    std::map<std::int64_t, std::string> pieces_;
    std::int64_t end_ = INT64_MAX;
    std::int64_t bytes_ = 0;
};

}  // namespace fennick::store
