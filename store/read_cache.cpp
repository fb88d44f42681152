#include "store/read_cache.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <mutex>
#include <thread>

namespace fennick::store {

class CachedFile : public platform::File {
  public:
    CachedFile(ReadCache& cache, std::unique_ptr<platform::File> inner)
        : File(cache.counters()), cache_(cache), inner_(std::move(inner)), id_(++cache.nextFile_) {}
    std::int64_t length() const override { return inner_->length(); }
    bool readOnly() const override { return inner_->readOnly(); }

    ReadCache& cache() const { return cache_; }
    platform::File& inner() const { return *inner_; }
    KeptBytes& kept() const { return cache_.keptOf(id_); }

    // A small file is read whole, as one read costs hardly more than a part of it: a walk down
    // its index then waits one round trip instead of one a level. False when it is not small.
    bool readWhole(KeptBytes& bytes) {
        const std::int64_t size = inner_->length();
        if (size <= 0 || size > cache_.policy().wholeFile) return false;
        {
            std::lock_guard lock(cache_.keptMutex_);
            if (bytes.covers(0, static_cast<std::size_t>(size))) return false;
        }
        std::string whole(static_cast<std::size_t>(size), '\0');
        whole.resize(inner_->readAt(0, whole.data(), whole.size()));
        std::lock_guard lock(cache_.keptMutex_);
        bytes.keep(0, std::move(whole), static_cast<std::size_t>(size));
        return true;
    }

  protected:
    // From memory when every byte is kept; otherwise one read of exactly the range asked for,
    // kept for the rest of the action.
    std::size_t doRead(std::int64_t offset, char* buf, std::size_t n) override {
        cache_.checkpoint();
        if (!cache_.keeping()) return inner_->readAt(offset, buf, n);
        KeptBytes& bytes = kept();
        {
            std::lock_guard lock(cache_.keptMutex_);
            if (auto copied = bytes.copy(offset, buf, n)) return *copied;
        }
        if (readWhole(bytes)) {
            std::lock_guard lock(cache_.keptMutex_);
            if (auto copied = bytes.copy(offset, buf, n)) return *copied;
        }
        std::size_t got = inner_->readAt(offset, buf, n);
        std::lock_guard lock(cache_.keptMutex_);
        bytes.keep(offset, std::string(buf, got), n);
        return got;
    }
    void doWrite(std::int64_t offset, const char* buf, std::size_t n) override {
        {
            std::lock_guard lock(cache_.keptMutex_);
            cache_.kept_.erase(id_);
        }
        inner_->writeAt(offset, buf, n);
    }

  private:
    ReadCache& cache_;
    std::unique_ptr<platform::File> inner_;
    std::int32_t id_;
};

std::unique_ptr<platform::File> ReadCache::doOpen(const std::string& path,
                                                  platform::Access access) {
    auto file = inner_->open(path, access);
    if (!file) return nullptr;
    auto cached = std::make_unique<CachedFile>(*this, std::move(file));
    // A small file opened in an action is read whole now: where it was opened ahead, its bytes
    // came with the opening and are kept before they are let go. A lost connection ends the
    // action here.
    if (keeping() && access == platform::Access::Read) {
        try {
            cached->readWhole(cached->kept());
        } catch (const platform::ConnectionLost&) {
            throw;
        } catch (const std::exception&) {
            // Met again, and reported, by the first read of the file.
        }
    }
    return cached;
}

std::vector<std::vector<ByteRange>> coalesce(std::vector<ByteRange> ranges,
                                             const ReadPolicy& policy) {
    constexpr std::int64_t kLittleBetween = 16 * 1024;
    std::erase_if(ranges, [](const ByteRange& r) { return r.length <= 0 || r.offset < 0; });
    std::sort(ranges.begin(), ranges.end(),
              [](const ByteRange& a, const ByteRange& b) { return a.offset < b.offset; });
    std::vector<ByteRange> merged;
    for (const auto& r : ranges) {
        if (!merged.empty() && r.offset < merged.back().end()) {
            merged.back().length = std::max(merged.back().end(), r.end()) - merged.back().offset;
            continue;
        }
        merged.push_back(r);
    }
    std::vector<std::vector<ByteRange>> groups;
    for (const auto& r : merged) {
        if (!groups.empty()) {
            auto& group = groups.back();
            bool nearBy = r.offset - group.back().end() <= policy.maxGap;
            bool fits = r.end() - group.front().offset <= policy.maxRead;
            if (nearBy && fits) {
                group.push_back(r);
                continue;
            }
            // Cut for its size only: the next read starts where this one ends when little lies
            // between them, so that a walk finds that too (the next link of a chain often does).
            const ByteRange between{group.back().end(), r.offset - group.back().end()};
            if (nearBy && between.length > 0 && between.length <= kLittleBetween) {
                groups.push_back({between, r});
                continue;
            }
        }
        groups.push_back({r});
    }
    return groups;
}

std::int64_t gapWorthReading(std::vector<ByteRange> ranges, int inFlight,
                             std::int64_t roundTripBytes) {
    std::erase_if(ranges, [](const ByteRange& r) { return r.length <= 0 || r.offset < 0; });
    std::sort(ranges.begin(), ranges.end(),
              [](const ByteRange& a, const ByteRange& b) { return a.offset < b.offset; });
    std::vector<std::int64_t> gaps;
    std::int64_t end = -1;
    std::int64_t reads = 0;
    for (const auto& r : ranges) {
        if (end < 0 || r.offset >= end) {
            ++reads;
            if (end >= 0 && r.offset - end <= roundTripBytes) gaps.push_back(r.offset - end);
        }
        end = std::max(end, r.end());
    }
    std::sort(gaps.begin(), gaps.end());
    const std::int64_t wide = std::max(inFlight, 1);
    auto rounds = [&](std::int64_t n) { return (n + wide - 1) / wide; };
    std::int64_t bestCost = rounds(reads) * roundTripBytes, best = 0, readThrough = 0;
    for (std::size_t k = 0; k < gaps.size(); ++k) {
        readThrough += gaps[k];
        std::int64_t cost =
            rounds(reads - static_cast<std::int64_t>(k) - 1) * roundTripBytes + readThrough;
        if (cost < bestCost) {
            bestCost = cost;
            best = gaps[k];
        }
    }
    return best;
}

struct ReadCache::Read {
    std::vector<ByteRange> members;
    std::string bytes;
    bool ok = false;
    ByteRange span() const {
        return {members.front().offset, members.back().end() - members.front().offset};
    }
};

void ReadCache::prefetch(platform::File& file, std::vector<ByteRange> ranges) {
    auto* cached = dynamic_cast<CachedFile*>(&file);
    if (!keeping() || !cached || &cached->cache() != this) return;
    KeptBytes& kept = cached->kept();
    {
        std::lock_guard lock(keptMutex_);
        std::erase_if(ranges, [&](const ByteRange& r) {
            return r.length > 0 && kept.covers(r.offset, static_cast<std::size_t>(r.length));
        });
    }
    ReadPolicy shape = policy();
    if (shape.bytesInFlight > 0) {
        // Several pieces of a long run on the way at once keep the link busy between them, where
        // the share serves several reads at once.
        constexpr int kPiecesOnTheWay = 4;
        constexpr std::int64_t kSmallestPiece = 64 * 1024;
        const int pieces = std::clamp(shape.inFlight, 1, kPiecesOnTheWay);
        shape.maxRead =
            std::min(shape.maxRead, std::max(shape.bytesInFlight / pieces, kSmallestPiece));
    }
    if (policy_.maxGap <= 0) {
        // A gap that costs less than each read's share of a round trip is always read through:
        // fewer, larger requests for next to nothing.
        std::int64_t always = shape.maxGap / std::max(shape.inFlight, 1);
        shape.maxGap = std::min(
            std::max(gapWorthReading(ranges, shape.inFlight, shape.maxGap), always), shape.maxRead);
    }
    std::vector<Read> reads;
    for (auto& group : coalesce(std::move(ranges), shape))
        reads.push_back({std::move(group), {}, false});
    fetch(cached->inner(), kept, std::move(reads), shape);
}

bool ReadCache::holds(platform::File& file, ByteRange range) {
    auto* cached = dynamic_cast<CachedFile*>(&file);
    if (!keeping() || !cached || &cached->cache() != this || range.length < 0) return false;
    KeptBytes& kept = cached->kept();
    std::lock_guard lock(keptMutex_);
    return kept.covers(range.offset, static_cast<std::size_t>(range.length));
}

ReadPolicy ReadCache::policy() const {
    ReadPolicy policy = policy_;
    platform::ReadShape shape = inner_->readShape();
    if (policy.maxGap <= 0) policy.maxGap = std::min(shape.gapWorthReading, policy.maxRead);
    if (policy.inFlight <= 0) policy.inFlight = shape.inFlight;
    if (policy.wholeFile < 0) policy.wholeFile = policy.maxGap;
    if (policy.bytesInFlight <= 0) policy.bytesInFlight = shape.bytesInFlight;
    if (!givingWay_) policy.bytesInFlight = 0;
    return policy;
}

// Reads every read of `reads`, keeping at most `shape.inFlight` of them, with at most
// `shape.bytesInFlight` bytes (any one read when it alone is more), waiting on the share at once:
// each read that ends lets the next one go (no batch waits for its slowest read). The calling
// thread hands them out, calling the checkpoint and the pause point before each, so that
// cancelled or paused work sends no more than those already in flight.
void ReadCache::readAll(platform::File& inner, std::vector<Read>& reads, const ReadPolicy& shape) {
    const auto inFlight = static_cast<std::size_t>(std::max(shape.inFlight, 1));
    const std::int64_t byteLimit = shape.bytesInFlight;
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t allowed = 0, taken = 0, ended = 0;
    std::int64_t bytesOut = 0;
    bool stop = false;
    // A lost connection ends the reads and the action: they are not tried again here (the
    // share has made its one retry already).
    std::exception_ptr lost;
    auto work = [&] {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return stop || taken < allowed; });
            if (stop) return;
            Read& read = reads[taken++];
            const bool passOver = lost != nullptr;  // not sent before the connection was lost
            lock.unlock();
            std::exception_ptr failure = passOver ? nullptr : readOne(inner, read);
            lock.lock();
            if (failure && !lost) lost = failure;
            ++ended;
            bytesOut -= read.span().length;
            changed.notify_all();
        }
    };
    std::vector<std::jthread> workers;
    struct Stop {
        std::mutex& mutex;
        std::condition_variable& changed;
        bool& stop;
        ~Stop() {
            std::lock_guard lock(mutex);
            stop = true;
            changed.notify_all();
        }
    };
    for (std::size_t i = 0; i < std::min(inFlight, reads.size()); ++i)
        workers.emplace_back(work);
    Stop stopping{mutex, changed, stop};  // ends the workers before they are joined
    for (std::size_t i = 0; i < reads.size(); ++i) {
        const std::int64_t bytes = reads[i].span().length;
        auto roomFor = [&] {
            return allowed - ended < inFlight &&
                   (byteLimit <= 0 || bytesOut == 0 || bytesOut + bytes <= byteLimit);
        };
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return roomFor() || lost; });
            if (lost) break;
        }
        checkpoint();
        pausePoint();
        std::lock_guard lock(mutex);
        ++allowed;
        bytesOut += bytes;
        changed.notify_all();
    }
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return ended == allowed; });
    if (lost) std::rethrow_exception(lost);
}

// Makes one read; a failed read keeps no bytes. Answers the failure when the connection was lost.
std::exception_ptr ReadCache::readOne(platform::File& inner, Read& read) {
    ByteRange span = read.span();
    try {
        read.bytes.resize(static_cast<std::size_t>(span.length));
        read.bytes.resize(inner.readAt(span.offset, read.bytes.data(), read.bytes.size()));
        read.ok = true;
    } catch (const platform::ConnectionLost&) {
        return std::current_exception();
    } catch (...) {
        read.bytes.clear();
    }
    return nullptr;
}

void ReadCache::fetch(platform::File& inner, KeptBytes& kept, std::vector<Read> reads,
                      const ReadPolicy& shape) {
    while (!reads.empty()) {
        readAll(inner, reads, shape);
        std::vector<Read> retry;
        std::unique_lock lock(keptMutex_);
        for (auto& read : reads) {
            ByteRange span = read.span();
            if (read.ok) {
                kept.keep(span.offset, std::move(read.bytes),
                          static_cast<std::size_t>(span.length));
            } else if (read.members.size() > 1) {
                auto half =
                    read.members.begin() + static_cast<std::ptrdiff_t>(read.members.size() / 2);
                retry.push_back({{read.members.begin(), half}, {}, false});
                retry.push_back({{half, read.members.end()}, {}, false});
            }
        }
        lock.unlock();
        reads = std::move(retry);
    }
}

void ReadCache::setPausePoint(std::function<void()> pausePoint) {
    std::lock_guard lock(pauseMutex_);
    if (pausePoint)
        pausePoints_[std::this_thread::get_id()] = std::move(pausePoint);
    else
        pausePoints_.erase(std::this_thread::get_id());
}

void ReadCache::pausePoint() {
    std::function<void()> pause;
    {
        std::lock_guard lock(pauseMutex_);
        auto found = pausePoints_.find(std::this_thread::get_id());
        if (found != pausePoints_.end()) pause = found->second;
    }
    if (pause) pause();
}

KeptBytes& ReadCache::keptOf(std::int32_t file) {
    std::lock_guard lock(keptMutex_);
    return kept_[file];
}

std::int64_t ReadCache::keptBytes() const {
    std::lock_guard lock(keptMutex_);
    std::int64_t total = 0;
    for (const auto& [file, kept] : kept_)
        total += kept.bytes();
    return total;
}

}  // namespace fennick::store
