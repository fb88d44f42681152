#include "read_cache.h"

#include <cstring>

namespace fennick::viewer {

class CachedFile : public platform::File {
  public:
    CachedFile(ReadCache& cache, std::unique_ptr<platform::File> inner)
        : File(cache.counters()), cache_(cache), inner_(std::move(inner)), id_(++cache.nextFile_) {}
    std::int64_t length() const override { return inner_->length(); }
    bool readOnly() const override { return inner_->readOnly(); }

  protected:
    std::size_t doRead(std::int64_t offset, char* buf, std::size_t n) override {
        if (cache_.depth_ == 0) return inner_->readAt(offset, buf, n);
        ReadCache::Range range{id_, offset, n};
        auto it = cache_.ranges_.find(range);
        if (it == cache_.ranges_.end()) {
            std::string bytes(n, '\0');
            bytes.resize(inner_->readAt(offset, bytes.data(), n));
            it = cache_.ranges_.emplace(range, std::move(bytes)).first;
        }
        std::memcpy(buf, it->second.data(), it->second.size());
        return it->second.size();
    }
    void doWrite(std::int64_t offset, const char* buf, std::size_t n) override {
        cache_.ranges_.clear();
        inner_->writeAt(offset, buf, n);
    }

  private:
    ReadCache& cache_;
    std::unique_ptr<platform::File> inner_;
    std::int32_t id_;
};

std::unique_ptr<platform::File> ReadCache::doOpen(const std::string& path) {
    auto file = inner_->open(path);
    if (!file) return nullptr;
    return std::make_unique<CachedFile>(*this, std::move(file));
}

}  // namespace fennick::viewer
