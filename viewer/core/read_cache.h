#pragma once
// A share that, while a cache scope is open, reads its files in chunks of 32 KB and answers
// every further read inside a chunk from memory. The unit list opens a scope for its
// allocation pass, which asks for the same invoice pages again and again and for many
// neighbouring ones; outside a scope every read goes to the share, so changes made by other
// workstations are seen at once.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "platform/file_system.h"

namespace fennick::viewer {

class ReadCache : public platform::FileSystem {
  public:
    explicit ReadCache(std::unique_ptr<platform::FileSystem> inner) : inner_(std::move(inner)) {}

    bool isDirectory(const std::string& path) override { return inner_->isDirectory(path); }
    std::string lastProblem() const override { return inner_->lastProblem(); }
    bool fileExists(const std::string& path) override { return inner_->fileExists(path); }
    std::unique_ptr<platform::File> create(const std::string& path) override {
        return inner_->create(path);
    }
    void makeDirectory(const std::string& path) override { inner_->makeDirectory(path); }
    bool remove(const std::string& path) override { return inner_->remove(path); }

    // Reads that reached the share underneath (counters() counts every read asked for).
    platform::IoCounters& shareCounters() { return inner_->counters(); }

    // Caching lasts while at least one scope is alive; the last one to end drops the cache.
    class Scope {
      public:
        explicit Scope(ReadCache* cache) : cache_(cache) {
            if (cache_) ++cache_->depth_;
        }
        ~Scope() {
            if (cache_ && --cache_->depth_ == 0) cache_->chunks_.clear();
        }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

      private:
        ReadCache* cache_;
    };

    // The cache behind an engine's share, if it has one.
    static ReadCache* of(platform::FileSystem& share) { return dynamic_cast<ReadCache*>(&share); }

  protected:
    std::unique_ptr<platform::File> doOpen(const std::string& path,
                                           platform::Access access) override;

  private:
    friend class CachedFile;
    static constexpr std::int64_t kChunk = 32 * 1024;
    using ChunkKey = std::pair<std::int32_t, std::int64_t>;  // file, chunk number

    std::unique_ptr<platform::FileSystem> inner_;
    std::int32_t nextFile_ = 0;
    int depth_ = 0;
    std::map<ChunkKey, std::string> chunks_;
};

}  // namespace fennick::viewer
