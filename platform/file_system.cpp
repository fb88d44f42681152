#include "file_system.h"

#include "text.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <set>

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

std::unique_ptr<File> FileSystem::createNew(const std::string& path) {
    throw IoError("No hand-off file can be written here: " + path);
}

void FileSystem::rename(const std::string& from, const std::string&) {
    throw IoError("No hand-off file can be written here: " + from);
}

std::string tooLargeText(const std::string& path, const WholeFile& file) {
    return path + " is too large to be a " + std::string(file.kind) + " (more than " +
           std::to_string(file.limit) + " bytes).";
}

std::string readWholeFile(FileSystem& fs, const std::string& path, const WholeFile& kind,
                          bool* opened) {
    auto file = fs.open(path);
    if (opened) *opened = file != nullptr;
    if (!file) return {};
    const std::int64_t length = file->length();
    if (length > kind.limit) throw IoError(tooLargeText(path, kind));
    std::string bytes(static_cast<std::size_t>(std::max<std::int64_t>(length, 0)), '\0');
    bytes.resize(file->readAt(0, bytes.data(), bytes.size()));
    return bytes;
}

void replaceFile(FileSystem& fs, const std::string& path, const std::string& bytes) {
    const std::string temporary = path + ".tmp";
    try {
        auto file = fs.createNew(temporary);
        if (!bytes.empty()) file->writeAt(0, bytes.data(), bytes.size());
        file.reset();
        fs.rename(temporary, path);
    } catch (const IoError&) {
        fs.remove(temporary);
        throw;
    }
}

struct MemoryFileSystem::Store {
    std::mutex lock;
    std::map<std::string, std::shared_ptr<std::string>> files;
    std::set<std::string> directories;
    std::set<std::string> unopenable;
    std::set<std::string> refused;
    std::map<std::string, std::vector<std::pair<std::int64_t, std::int64_t>>> unreadable;
    std::int64_t readsLeft = -1;  // -1: reads never fail
};

namespace {

class MemoryFile : public File {
  public:
    MemoryFile(IoCounters& c, std::shared_ptr<MemoryFileSystem::Store> store, std::string key,
               std::shared_ptr<std::string> bytes, Access access)
        : File(c),
          store_(std::move(store)),
          key_(std::move(key)),
          bytes_(std::move(bytes)),
          access_(access) {}
    std::int64_t length() const override {
        std::lock_guard<std::mutex> hold(store_->lock);
        return static_cast<std::int64_t>(bytes_->size());
    }
    bool readOnly() const override { return access_ == Access::Read; }

  protected:
    std::size_t doRead(std::int64_t offset, char* buf, std::size_t n) override {
        std::lock_guard<std::mutex> hold(store_->lock);
        if (store_->readsLeft == 0) throw IoError("Device I/O error");
        if (store_->readsLeft > 0) --store_->readsLeft;
        if (touchesUnreadable(offset, n)) throw IoError("Device I/O error");
        auto size = static_cast<std::int64_t>(bytes_->size());
        if (offset >= size) return 0;
        std::size_t got = std::min<std::size_t>(n, static_cast<std::size_t>(size - offset));
        std::memcpy(buf, bytes_->data() + offset, got);
        return got;
    }
    void doWrite(std::int64_t offset, const char* buf, std::size_t n) override {
        if (readOnly()) throw IoError("Permission denied");
        std::lock_guard<std::mutex> hold(store_->lock);
        auto end = static_cast<std::size_t>(offset) + n;
        if (bytes_->size() < end) bytes_->resize(end, '\0');
        std::memcpy(bytes_->data() + offset, buf, n);
    }

  private:
    bool touchesUnreadable(std::int64_t offset, std::size_t n) const {
        auto found = store_->unreadable.find(key_);
        if (found == store_->unreadable.end()) return false;
        auto end = offset + static_cast<std::int64_t>(n);
        for (const auto& [at, length] : found->second)
            if (offset < at + length && at < end) return true;
        return false;
    }

    std::shared_ptr<MemoryFileSystem::Store> store_;
    std::string key_;
    std::shared_ptr<std::string> bytes_;
    Access access_;
};

}  // namespace

MemoryFileSystem::MemoryFileSystem() : store_(std::make_shared<Store>()) {}

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
    std::lock_guard<std::mutex> hold(store_->lock);
    return store_->directories.count(fold(path)) > 0;
}

bool MemoryFileSystem::fileExists(const std::string& path) {
    std::lock_guard<std::mutex> hold(store_->lock);
    return store_->files.count(fold(path)) > 0;
}

void MemoryFileSystem::makeDirectory(const std::string& path) {
    std::lock_guard<std::mutex> hold(store_->lock);
    store_->directories.insert(fold(path));
}

bool MemoryFileSystem::remove(const std::string& path) {
    std::lock_guard<std::mutex> hold(store_->lock);
    return store_->files.erase(fold(path)) > 0;
}

std::unique_ptr<File> MemoryFileSystem::create(const std::string& path) {
    auto bytes = std::make_shared<std::string>();
    {
        std::lock_guard<std::mutex> hold(store_->lock);
        store_->files[fold(path)] = bytes;
    }
    return std::make_unique<MemoryFile>(counters_, store_, fold(path), bytes, Access::ReadWrite);
}

std::unique_ptr<File> MemoryFileSystem::createNew(const std::string& path) {
    return create(path);
}

void MemoryFileSystem::rename(const std::string& from, const std::string& to) {
    std::lock_guard<std::mutex> hold(store_->lock);
    auto it = store_->files.find(fold(from));
    if (it == store_->files.end()) throw IoError("No such file: " + from);
    auto bytes = it->second;
    store_->files.erase(it);
    store_->files[fold(to)] = std::move(bytes);
}

void MemoryFileSystem::setFile(const std::string& path, std::string bytes) {
    auto stored = std::make_shared<std::string>(std::move(bytes));
    std::lock_guard<std::mutex> hold(store_->lock);
    store_->files[fold(path)] = std::move(stored);
}

const std::string* MemoryFileSystem::contents(const std::string& path) const {
    std::lock_guard<std::mutex> hold(store_->lock);
    auto it = store_->files.find(fold(path));
    return it == store_->files.end() ? nullptr : it->second.get();
}

std::vector<std::string> MemoryFileSystem::paths() const {
    std::lock_guard<std::mutex> hold(store_->lock);
    std::vector<std::string> out;
    for (const auto& entry : store_->files)
        out.push_back(entry.first);
    return out;
}

void MemoryFileSystem::resize(const std::string& path, std::size_t size) {
    std::lock_guard<std::mutex> hold(store_->lock);
    auto it = store_->files.find(fold(path));
    if (it != store_->files.end()) it->second->resize(size, '\0');
}

void MemoryFileSystem::setUnopenable(const std::string& path) {
    std::lock_guard<std::mutex> hold(store_->lock);
    store_->unopenable.insert(fold(path));
}

void MemoryFileSystem::setRefused(const std::string& path) {
    std::lock_guard<std::mutex> hold(store_->lock);
    store_->refused.insert(fold(path));
}

void MemoryFileSystem::setUnreadable(const std::string& path, std::int64_t offset,
                                     std::int64_t length) {
    std::lock_guard<std::mutex> hold(store_->lock);
    store_->unreadable[fold(path)].emplace_back(offset, length);
}

void MemoryFileSystem::failReadsAfter(std::int64_t reads) {
    std::lock_guard<std::mutex> hold(store_->lock);
    store_->readsLeft = reads < 0 ? -1 : reads;
}

std::unique_ptr<File> MemoryFileSystem::doOpen(const std::string& path, Access access) {
    auto key = fold(path);
    std::shared_ptr<std::string> bytes;
    {
        std::lock_guard<std::mutex> hold(store_->lock);
        auto it = store_->files.find(key);
        if (it == store_->files.end() || store_->unopenable.count(key)) return nullptr;
        if (store_->refused.count(key)) throw AccessDenied("Permission denied");
        bytes = it->second;
    }
    return std::make_unique<MemoryFile>(counters_, store_, key, bytes, access);
}

}  // namespace fennick::platform
