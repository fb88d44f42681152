#include "latency_file_system.h"

#include <thread>

namespace fennick::platform {

namespace {

// A file whose every read and write first waits the round trip. Its length came with the
// open's answer, as a server's reply to an open carries the file's size.
class LatencyFile : public File {
  public:
    LatencyFile(LatencyFileSystem& fs, std::unique_ptr<File> inner)
        : File(fs.counters()), fs_(fs), inner_(std::move(inner)) {}
    std::int64_t length() const override { return inner_->length(); }
    bool readOnly() const override { return inner_->readOnly(); }

  protected:
    std::size_t doRead(std::int64_t offset, char* buf, std::size_t n) override {
        fs_.wait();
        return inner_->readAt(offset, buf, n);
    }
    void doWrite(std::int64_t offset, const char* buf, std::size_t n) override {
        fs_.wait();
        inner_->writeAt(offset, buf, n);
    }

  private:
    LatencyFileSystem& fs_;
    std::unique_ptr<File> inner_;
};

}  // namespace

LatencyFileSystem::LatencyFileSystem(std::unique_ptr<FileSystem> inner,
                                     std::chrono::microseconds latency)
    : inner_(std::move(inner)), latency_(latency.count()) {}

void LatencyFileSystem::wait() {
    ++roundTrips_;
    auto latency = std::chrono::microseconds(latency_.load());
    if (latency.count() > 0) std::this_thread::sleep_for(latency);
}

bool LatencyFileSystem::isDirectory(const std::string& path) {
    wait();
    return inner_->isDirectory(path);
}

bool LatencyFileSystem::fileExists(const std::string& path) {
    wait();
    return inner_->fileExists(path);
}

std::unique_ptr<File> LatencyFileSystem::create(const std::string& path) {
    wait();
    auto file = inner_->create(path);
    return file ? std::make_unique<LatencyFile>(*this, std::move(file)) : nullptr;
}

void LatencyFileSystem::makeDirectory(const std::string& path) {
    wait();
    inner_->makeDirectory(path);
}

bool LatencyFileSystem::remove(const std::string& path) {
    wait();
    return inner_->remove(path);
}

std::unique_ptr<File> LatencyFileSystem::createNew(const std::string& path) {
    wait();
    return std::make_unique<LatencyFile>(*this, inner_->createNew(path));
}

void LatencyFileSystem::rename(const std::string& from, const std::string& to) {
    wait();
    inner_->rename(from, to);
}

std::unique_ptr<File> LatencyFileSystem::doOpen(const std::string& path, Access access) {
    wait();
    auto file = inner_->open(path, access);
    return file ? std::make_unique<LatencyFile>(*this, std::move(file)) : nullptr;
}

}  // namespace fennick::platform
