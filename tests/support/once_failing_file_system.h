#pragma once
// A share back end that fails exactly one read, once. Reads are named by file, offset, length
// and how often that same read was made before, so that the read chosen is the same one on
// every run even when the read cache has several reads in flight at once. A clean run lists the
// reads an action makes; each later run fails one of them.

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/file_system.h"
#include "read_hook_share.h"

namespace fennick::test_support {

struct ReadName {
    std::string path;
    std::int64_t offset = 0;
    std::size_t length = 0;
    int occurrence = 0;  // 0: the first read of these bytes
    auto key() const { return std::tie(path, offset, length, occurrence); }
    bool operator==(const ReadName& other) const { return key() == other.key(); }
};

// What the runs share with the back end, which the store owns.
class ReadFailurePlan {
  public:
    // Starts a run that fails `target` (nothing: a clean run); `lost`: as a lost connection.
    void arm(std::optional<ReadName> target, bool lost = false) {
        std::lock_guard hold(lock_);
        target_ = std::move(target);
        lost_ = lost;
        failed_ = false;
        made_.clear();
        seen_.clear();
    }
    // The reads of the run so far, in the order they reached the share.
    std::vector<ReadName> reads() const {
        std::lock_guard hold(lock_);
        return made_;
    }
    bool lost() const {
        std::lock_guard hold(lock_);
        return lost_;
    }
    bool failed() const {
        std::lock_guard hold(lock_);
        return failed_;
    }
    // Names the read; true when it is the one to fail.
    bool take(const std::string& path, std::int64_t offset, std::size_t length) {
        std::lock_guard hold(lock_);
        ReadName name{path, offset, length, seen_[{path, offset, length}]++};
        made_.push_back(name);
        if (failed_ || !target_ || !(*target_ == name)) return false;
        failed_ = true;
        return true;
    }

  private:
    mutable std::mutex lock_;
    std::optional<ReadName> target_;
    bool failed_ = false;
    bool lost_ = false;
    std::vector<ReadName> made_;
    std::map<std::tuple<std::string, std::int64_t, std::size_t>, int> seen_;
};

// The share with the plan's read failing: as a lost connection or as a failed read.
inline std::unique_ptr<platform::FileSystem> onceFailing(
    std::unique_ptr<platform::FileSystem> share, std::shared_ptr<ReadFailurePlan> plan) {
    return std::make_unique<ReadHookShare>(
        std::move(share), [plan](const std::string& path, std::int64_t offset, std::size_t n) {
            if (!plan->take(path, offset, n)) return;
            if (plan->lost()) throw platform::ConnectionLost("The connection was lost.");
            throw platform::IoError("Device I/O error (Input/output error)");
        });
}

}  // namespace fennick::test_support
