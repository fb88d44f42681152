#include "store/read_cache.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <exception>
#include <mutex>

#include "platform/parallel.h"

namespace fennick::store {

class CachedFile : public platform::File {
  public:
    CachedFile(ReadCache& cache, std::unique_ptr<platform::File> inner)
        : File(cache.counters()), cache_(cache), inner_(std::move(inner)), id_(++cache.nextFile_) {}
    std::int64_t length() const override { return inner_->length(); }
    bool readOnly() const override { return inner_->readOnly(); }

    ReadCache& cache() const { return cache_; }
    platform::File& inner() const { return *inner_; }
    KeptBytes& kept() const { return cache_.kept_[id_]; }

  protected:
    // From memory when every byte is kept; otherwise one read of exactly the range asked for,
    // kept for the rest of the action.
    std::size_t doRead(std::int64_t offset, char* buf, std::size_t n) override {
        if (!cache_.keeping()) return inner_->readAt(offset, buf, n);
        KeptBytes& bytes = kept();
        if (auto copied = bytes.copy(offset, buf, n)) return *copied;
        std::size_t got = inner_->readAt(offset, buf, n);
        bytes.keep(offset, std::string(buf, got), n);
        return got;
    }
    void doWrite(std::int64_t offset, const char* buf, std::size_t n) override {
        cache_.kept_.erase(id_);
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
    return std::make_unique<CachedFile>(*this, std::move(file));
}

std::vector<std::vector<ByteRange>> coalesce(std::vector<ByteRange> ranges,
                                             const ReadPolicy& policy) {
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
        }
        groups.push_back({r});
    }
    return groups;
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
    std::erase_if(ranges, [&](const ByteRange& r) {
        return r.length > 0 && kept.covers(r.offset, static_cast<std::size_t>(r.length));
    });
    std::vector<Read> reads;
    for (auto& group : coalesce(std::move(ranges), policy()))
        reads.push_back({std::move(group), {}, false});
    fetch(cached->inner(), kept, std::move(reads));
}

bool ReadCache::holds(platform::File& file, ByteRange range) {
    auto* cached = dynamic_cast<CachedFile*>(&file);
    if (!keeping() || !cached || &cached->cache() != this || range.length < 0) return false;
    return cached->kept().covers(range.offset, static_cast<std::size_t>(range.length));
}

ReadPolicy ReadCache::policy() const {
    ReadPolicy policy = policy_;
    platform::ReadShape shape = inner_->readShape();
    if (policy.maxGap <= 0) policy.maxGap = std::min(shape.gapWorthReading, policy.maxRead);
    if (policy.inFlight <= 0) policy.inFlight = shape.inFlight;
    return policy;
}

void ReadCache::fetch(platform::File& inner, KeptBytes& kept, std::vector<Read> reads) {
    const int inFlight = policy().inFlight;
    while (!reads.empty()) {
        // A lost connection ends the round and the action: its reads are not tried again here
        // (the share has made its one retry already).
        std::atomic<bool> lost{false};
        std::exception_ptr lostError;
        std::mutex lostMutex;
        platform::runInParallel(reads.size(), inFlight, [&](std::size_t i) {
            Read& read = reads[i];
            ByteRange span = read.span();
            if (lost) return;
            try {
                read.bytes.resize(static_cast<std::size_t>(span.length));
                read.bytes.resize(inner.readAt(span.offset, read.bytes.data(), read.bytes.size()));
                read.ok = true;
            } catch (const platform::ConnectionLost&) {
                std::lock_guard guard(lostMutex);
                if (!lost.exchange(true)) lostError = std::current_exception();
            } catch (...) {
                read.bytes.clear();
            }
        });
        if (lostError) std::rethrow_exception(lostError);
        std::vector<Read> retry;
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
        reads = std::move(retry);
    }
}

std::int64_t ReadCache::keptBytes() const {
    std::int64_t total = 0;
    for (const auto& [file, kept] : kept_)
        total += kept.bytes();
    return total;
}

}  // namespace fennick::store
