#include "read_cache.h"

#include <algorithm>
#include <cstring>

namespace fennick::viewer {

class CachedFile : public platform::File {
  public:
    CachedFile(ReadCache& cache, std::unique_ptr<platform::File> inner)
        : File(cache.counters()), cache_(cache), inner_(std::move(inner)), id_(++cache.nextFile_) {}
    std::int64_t length() const override { return inner_->length(); }
    bool readOnly() const override { return inner_->readOnly(); }

  protected:
    // Copies from the chunks that hold the range; stops early at the end of the file.
    std::size_t doRead(std::int64_t offset, char* buf, std::size_t n) override {
        if (cache_.depth_ == 0) return inner_->readAt(offset, buf, n);
        std::size_t done = 0;
        while (done < n) {
            std::int64_t at = offset + static_cast<std::int64_t>(done);
            const std::string& chunk = chunkAt(at / ReadCache::kChunk);
            auto within = static_cast<std::size_t>(at % ReadCache::kChunk);
            if (within >= chunk.size()) break;
            std::size_t take = std::min(n - done, chunk.size() - within);
            std::memcpy(buf + done, chunk.data() + within, take);
            done += take;
        }
        return done;
    }
    void doWrite(std::int64_t offset, const char* buf, std::size_t n) override {
        cache_.chunks_.clear();
        inner_->writeAt(offset, buf, n);
    }

  private:
    const std::string& chunkAt(std::int64_t number) {
        auto it = cache_.chunks_.find({id_, number});
        if (it != cache_.chunks_.end()) return it->second;
        std::string bytes(static_cast<std::size_t>(ReadCache::kChunk), '\0');
        bytes.resize(inner_->readAt(number * ReadCache::kChunk, bytes.data(), bytes.size()));
        return cache_.chunks_.emplace(ReadCache::ChunkKey{id_, number}, std::move(bytes))
            .first->second;
    }

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

}  // namespace fennick::viewer
