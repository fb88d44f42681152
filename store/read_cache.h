#pragma once
// The read cache of one user action (building the tree, listing a model, showing a unit). While
// a scope is open, every byte read from the share is kept, so what the action needs twice costs
// one round trip; the last scope to end drops everything, because other workstations keep
// writing. Callers that know ahead which records an action needs hand their byte ranges to
// `prefetch`, which reads them as one round: coalesced into large reads (reading through gaps
// cheaper than a round trip on the share's link, as the share measures it) with as many reads
// in flight as the share serves at once.
//
// With batching switched off the cache keeps nothing and prefetches nothing: every read goes to
// the share as the engine asks for it, record by record (the reference the batched reads are
// measured and checked against).

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/file_system.h"
#include "store/kept_bytes.h"

namespace fennick::store {

struct ByteRange {
    std::int64_t offset = 0;
    std::int64_t length = 0;
    std::int64_t end() const { return offset + length; }
    bool operator==(const ByteRange&) const = default;
};

struct ReadPolicy {
    std::int64_t maxGap = 0;             // read through a gap up to this size rather than split;
                                         // 0: one round trip's worth of bytes on the share
    std::int64_t maxRead = 1024 * 1024;  // the largest single read, so that Cancel acts soon
    int inFlight = 0;                    // reads waiting on the share at once; 0: as many as
                                         // the share serves at once
    std::int64_t wholeFile = -1;         // a file no larger is read whole at the action's first
                                         // read of it (an index walk then costs one round trip);
                                         // -1: the maximum gap, 0: never
    std::int64_t bytesInFlight = 0;      // bytes on the way at once of reads that give way;
                                         // 0: as the share says (its 0: no limit)
};

class ReadCache : public platform::FileSystem {
  public:
    explicit ReadCache(std::unique_ptr<platform::FileSystem> inner, ReadPolicy policy = {})
        : inner_(std::move(inner)), policy_(policy) {}

    bool isDirectory(const std::string& path) override { return inner_->isDirectory(path); }
    std::string lastProblem() const override { return inner_->lastProblem(); }
    bool fileExists(const std::string& path) override { return inner_->fileExists(path); }
    std::unique_ptr<platform::File> create(const std::string& path) override {
        return inner_->create(path);
    }
    void makeDirectory(const std::string& path) override { inner_->makeDirectory(path); }
    bool remove(const std::string& path) override { return inner_->remove(path); }
    std::unique_ptr<platform::File> createNew(const std::string& path) override {
        return inner_->createNew(path);
    }
    void rename(const std::string& from, const std::string& to) override {
        inner_->rename(from, to);
    }

    void willOpen(const std::vector<std::string>& paths) override { inner_->willOpen(paths); }
    void withOpenedAhead(const std::vector<std::string>& paths,
                         const std::function<void()>& opens) override {
        inner_->withOpenedAhead(paths, opens);
    }

    // Reads that reached the share underneath (counters() counts every read asked for).
    platform::IoCounters& shareCounters() { return inner_->counters(); }
    platform::FileSystem& share() { return *inner_; }

    // One user action: keeping lasts while at least one scope is alive.
    // Reads made on this thread while it lives give way to the action's own: they keep no more
    // bytes on the way than the policy allows, so that on a link that sends bytes in order the
    // action's reads do not queue behind them (work beside an action uses it).
    class GivingWay {
      public:
        GivingWay() { givingWay_ = true; }
        ~GivingWay() { givingWay_ = false; }
        GivingWay(const GivingWay&) = delete;
        GivingWay& operator=(const GivingWay&) = delete;
    };

    class Scope {
      public:
        explicit Scope(ReadCache* cache) : cache_(cache) {
            if (cache_) ++cache_->depth_;
        }
        ~Scope() {
            if (cache_ && --cache_->depth_ == 0) {
                std::lock_guard lock(cache_->keptMutex_);
                cache_->kept_.clear();
            }
        }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

      private:
        ReadCache* cache_;
    };

    // An action paused between two of its steps sets what it keeps aside, so that the actions
    // run meanwhile read afresh and keep nothing for it; it comes back when the aside ends.
    class Aside {
      public:
        explicit Aside(ReadCache* cache) : cache_(cache) {
            if (!cache_) return;
            depth_ = cache_->depth_.exchange(0);
            std::lock_guard lock(cache_->keptMutex_);
            kept_ = std::exchange(cache_->kept_, {});
        }
        ~Aside() {
            if (!cache_) return;
            std::lock_guard lock(cache_->keptMutex_);
            cache_->kept_ = std::move(kept_);
            cache_->depth_ = depth_;
        }
        Aside(const Aside&) = delete;
        Aside& operator=(const Aside&) = delete;

      private:
        ReadCache* cache_;
        int depth_ = 0;
        std::map<std::int32_t, KeptBytes> kept_;
    };

    void setBatching(bool on) { batching_ = on; }
    bool batching() const { return batching_; }
    // True inside a scope with batching on: reads are kept and prefetches are made.
    bool keeping() const { return batching_ && depth_ > 0; }

    // Reads the ranges of `file` (opened through this cache) that are not kept yet. A read that
    // fails is split and retried in halves down to single ranges; a range that still fails is
    // left to the caller's own read, which meets the failure where it would have anyway. A lost
    // connection throws ConnectionLost at once.
    void prefetch(platform::File& file, std::vector<ByteRange> ranges);
    // Whether the share takes several of this cache's reads at once, so that reads made side by
    // side wait on it together.
    bool readsSideBySide() const { return policy().inFlight > 1; }
    // True when every byte of the range of `file` is kept.
    bool holds(platform::File& file, ByteRange range);
    // Bytes held for the current action.
    std::int64_t keptBytes() const;

    // Called on the action's thread before every read through this cache (kept or not) and
    // before every read a prefetch sends: work that may be cancelled throws from it, and so
    // stops with no more reads than those in flight wherever its walk is. Empty: none.
    void setCheckpoint(std::function<void()> checkpoint) { checkpoint_ = std::move(checkpoint); }
    void checkpoint() const {
        if (checkpoint_) checkpoint_();
    }
    // Called before every read a prefetch sends on the thread that set it (other work reads
    // meanwhile on threads of its own): work that gives way to other work waits there while
    // paused, not only between its own steps. Empty: none for this thread.
    void setPausePoint(std::function<void()> pausePoint);

  protected:
    std::unique_ptr<platform::File> doOpen(const std::string& path,
                                           platform::Access access) override;

  private:
    friend class CachedFile;
    struct Read;
    ReadPolicy policy() const;
    void fetch(platform::File& inner, KeptBytes& kept, std::vector<Read> reads,
               const ReadPolicy& shape);
    void pausePoint();
    KeptBytes& keptOf(std::int32_t file);
    void readAll(platform::File& inner, std::vector<Read>& reads, const ReadPolicy& shape);
    static std::exception_ptr readOne(platform::File& inner, Read& read);

    static inline thread_local bool givingWay_ = false;
    std::unique_ptr<platform::FileSystem> inner_;
    ReadPolicy policy_;
    std::int32_t nextFile_ = 0;
    std::atomic<int> depth_ = 0;
    bool batching_ = true;
    // Reads ahead may go on beside the action's own reads (Store::beside): what is kept is
    // guarded; the reads themselves are not.
    mutable std::mutex keptMutex_;
    std::map<std::int32_t, KeptBytes> kept_;  // by file
    std::function<void()> checkpoint_;
    std::mutex pauseMutex_;
    std::map<std::thread::id, std::function<void()>> pausePoints_;  // by the thread that set it
};

// Sets one of the read cache's calls (`Set`: setCheckpoint or setPausePoint) for as long as it
// lives; none without a cache.
template <void (ReadCache::*Set)(std::function<void()>)>
class WhileReading {
  public:
    WhileReading(ReadCache* cache, std::function<void()> call) : cache_(cache) {
        if (cache_) (cache_->*Set)(std::move(call));
    }
    ~WhileReading() {
        if (cache_) (cache_->*Set)({});
    }
    WhileReading(const WhileReading&) = delete;
    WhileReading& operator=(const WhileReading&) = delete;

  private:
    ReadCache* cache_;
};

// The widest gap between `ranges` worth reading through when `inFlight` reads go at once and a
// round trip costs as long as `roundTripBytes` bytes take: a read beyond each `inFlight` waits a
// round trip more, so gaps are read through (smallest first) only while the round trips they
// save are worth more than their bytes. Up to `inFlight` reads cost one round trip: no gap is
// worth reading then.
std::int64_t gapWorthReading(std::vector<ByteRange> ranges, int inFlight,
                             std::int64_t roundTripBytes);

// The ranges grouped into reads: ascending, neighbours joined while the gap between them is at
// most `maxGap` and the read stays within `maxRead` bytes; a read cut for its size alone is
// followed by one that starts where it ends when at most 16 KB lie between. Overlapping ranges
// are merged first; touching ones stay apart, so that a failed read can be retried range by
// range.
std::vector<std::vector<ByteRange>> coalesce(std::vector<ByteRange> ranges,
                                             const ReadPolicy& policy);

}  // namespace fennick::store
