#include "file_system.h"

#include "text.h"

#include <algorithm>
#include <cstring>

namespace fennick::platform {

std::size_t File::readAt(std::int64_t offset, char* buf, std::size_t n) {
    if (offset < 0) throw IoError("negative file offset");
    std::size_t got = doRead(offset, buf, n);
    ++counters_.reads;
    counters_.bytesRead += static_cast<std::int64_t>(got);
    return got;
}

void File::writeAt(std::int64_t offset, const char* buf, std::size_t n) {
    if (offset < 0) throw IoError("negative file offset");
    doWrite(offset, buf, n);
    ++counters_.writes;
    counters_.bytesWritten += static_cast<std::int64_t>(n);
}

std::string invalidShareText(const std::string& root) {
    return "You are attempting to connect to: " + root +
           " and this shows to be an invalid network share";
}

std::unique_ptr<File> FileSystem::open(const std::string& path, Access access) {
    auto file = doOpen(path, access);
    if (file) ++counters_.opens;
    return file;
}

std::string readWholeFile(FileSystem& fs, const std::string& path, bool* opened) {
    auto file = fs.open(path);
    if (opened) *opened = file != nullptr;
    if (!file) return {};
    std::string bytes(static_cast<std::size_t>(std::max<std::int64_t>(file->length(), 0)), '\0');
    bytes.resize(file->readAt(0, bytes.data(), bytes.size()));
    return bytes;
}

namespace {

class MemoryFile : public File {
  public:
    MemoryFile(IoCounters& c, std::shared_ptr<std::string> bytes, const std::int64_t& failAfter,
               Access access)
        : File(c), bytes_(std::move(bytes)), failAfter_(failAfter), access_(access) {}
    std::int64_t length() const override { return static_cast<std::int64_t>(bytes_->size()); }
    bool readOnly() const override { return access_ == Access::Read; }

  protected:
    std::size_t doRead(std::int64_t offset, char* buf, std::size_t n) override {
        if (failAfter_ >= 0 && readSoFar_ + static_cast<std::int64_t>(n) > failAfter_)
            throw IoError("Device I/O error");
        auto size = static_cast<std::int64_t>(bytes_->size());
        if (offset >= size) return 0;
        std::size_t got = std::min<std::size_t>(n, static_cast<std::size_t>(size - offset));
        std::memcpy(buf, bytes_->data() + offset, got);
        readSoFar_ += static_cast<std::int64_t>(got);
        return got;
    }
    void doWrite(std::int64_t offset, const char* buf, std::size_t n) override {
        if (readOnly()) throw IoError("Permission denied");
        auto end = static_cast<std::size_t>(offset) + n;
        if (bytes_->size() < end) bytes_->resize(end, '\0');
        std::memcpy(bytes_->data() + offset, buf, n);
    }

  private:
    std::shared_ptr<std::string> bytes_;
    const std::int64_t& failAfter_;
    Access access_;
    std::int64_t readSoFar_ = 0;
};

}  // namespace

std::string MemoryFileSystem::fold(const std::string& path) {
    std::string key = path;
    for (char& c : key) {
        if (c == '/') c = '\\';
        c = upperAscii(c);
    }
    while (key.size() > 1 && key.back() == '\\')
        key.pop_back();
    return key;
}

bool MemoryFileSystem::isDirectory(const std::string& path) {
    return directories_.count(fold(path)) > 0;
}

bool MemoryFileSystem::fileExists(const std::string& path) {
    return files_.count(fold(path)) > 0;
}

std::unique_ptr<File> MemoryFileSystem::create(const std::string& path) {
    auto bytes = std::make_shared<std::string>();
    files_[fold(path)] = bytes;
    return std::make_unique<MemoryFile>(counters_, bytes, failReadsAfter, Access::ReadWrite);
}

void MemoryFileSystem::setFile(const std::string& path, std::string bytes) {
    files_[fold(path)] = std::make_shared<std::string>(std::move(bytes));
}

const std::string* MemoryFileSystem::contents(const std::string& path) const {
    auto it = files_.find(fold(path));
    return it == files_.end() ? nullptr : it->second.get();
}

std::unique_ptr<File> MemoryFileSystem::doOpen(const std::string& path, Access access) {
    auto key = fold(path);
    auto it = files_.find(key);
    if (it == files_.end() || unopenable_.count(key)) return nullptr;
    return std::make_unique<MemoryFile>(counters_, it->second, failReadsAfter, access);
}

}  // namespace fennick::platform
