#include "held_share.h"

namespace fennick::test_support {

namespace {

class HeldFile : public platform::File {
  public:
    HeldFile(HeldFileSystem& fs, std::unique_ptr<platform::File> inner)
        : File(fs.counters()), fs_(fs), inner_(std::move(inner)) {}
    std::int64_t length() const override { return inner_->length(); }
    bool readOnly() const override { return inner_->readOnly(); }

  protected:
    std::size_t doRead(std::int64_t offset, char* buf, std::size_t n) override {
        fs_.gate();
        return inner_->readAt(offset, buf, n);
    }
    void doWrite(std::int64_t offset, const char* buf, std::size_t n) override {
        fs_.gate();
        inner_->writeAt(offset, buf, n);
    }

  private:
    HeldFileSystem& fs_;
    std::unique_ptr<platform::File> inner_;
};

}  // namespace

HeldFileSystem::HeldFileSystem(std::unique_ptr<platform::FileSystem> inner)
    : inner_(std::move(inner)) {}

void HeldFileSystem::hold() {
    std::lock_guard lock(lock_);
    held_ = true;
}

void HeldFileSystem::release() {
    std::lock_guard lock(lock_);
    held_ = false;
    released_.notify_all();
}

void HeldFileSystem::cut() {
    {
        std::lock_guard lock(lock_);
        cut_ = true;
    }
    release();
}

int HeldFileSystem::waiting() const {
    std::lock_guard lock(lock_);
    return waiting_;
}

void HeldFileSystem::gate() {
    if (std::this_thread::get_id() == window_) return;
    std::unique_lock lock(lock_);
    ++waiting_;
    released_.wait(lock, [this] { return !held_; });
    --waiting_;
    if (cut_) throw platform::ConnectionLost("the server stopped answering");
}

bool HeldFileSystem::isDirectory(const std::string& path) {
    gate();
    return inner_->isDirectory(path);
}

bool HeldFileSystem::fileExists(const std::string& path) {
    gate();
    return inner_->fileExists(path);
}

std::unique_ptr<platform::File> HeldFileSystem::create(const std::string& path) {
    gate();
    auto file = inner_->create(path);
    return file ? std::make_unique<HeldFile>(*this, std::move(file)) : nullptr;
}

void HeldFileSystem::makeDirectory(const std::string& path) {
    gate();
    inner_->makeDirectory(path);
}

bool HeldFileSystem::remove(const std::string& path) {
    gate();
    return inner_->remove(path);
}

std::unique_ptr<platform::File> HeldFileSystem::createNew(const std::string& path) {
    gate();
    return std::make_unique<HeldFile>(*this, inner_->createNew(path));
}

void HeldFileSystem::rename(const std::string& from, const std::string& to) {
    gate();
    inner_->rename(from, to);
}

std::unique_ptr<platform::File> HeldFileSystem::doOpen(const std::string& path,
                                                       platform::Access access) {
    gate();
    auto file = inner_->open(path, access);
    return file ? std::make_unique<HeldFile>(*this, std::move(file)) : nullptr;
}

}  // namespace fennick::test_support
