#pragma once
// A position in a keyed index: the entry's key and the record it points to, moved along the
// index in key order. Damage in the index (a loop, a block outside the file, a negative record
// number) ends the walk, as the engine's index walk does.

#include <cstdint>
#include <memory>
#include <string>

namespace fennick {
class cBusinessBasic;
struct cLogicalFile;
}  // namespace fennick

namespace fennick::store {

class IndexCursor {
  public:
    // On the first entry whose key is at or after `key` (keys are padded or cut to the
    // index's key length).
    IndexCursor(cBusinessBasic& engine, std::shared_ptr<cLogicalFile> index, std::string key);

    // No entry here: past the last one, or the index is empty or damaged.
    bool end() const { return record_ == 0; }
    // The key of the entry the cursor is on.
    const std::string& key() const { return key_; }
    // The record the entry points to.
    std::int32_t record() const { return record_; }
    // The entry's key is the key the cursor was placed with.
    bool exact() const { return exact_; }
    void next();

  private:
    cBusinessBasic& engine_;
    std::shared_ptr<cLogicalFile> index_;
    std::string buffer_;  // the engine's walk state
    std::string key_;
    std::int32_t record_ = 0;
    bool exact_ = false;
};

}  // namespace fennick::store
