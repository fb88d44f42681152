#include "local_file_system.h"

#include "native_file.h"
#include "text.h"
#include "unc_path.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <vector>

namespace fennick::platform {

namespace fs = std::filesystem;

namespace {

// One positional read or write of exactly the bytes asked for, straight on the descriptor: no
// stream buffer that reads ahead, and safe to use from several threads at once.
class LocalFile : public File {
  public:
    LocalFile(IoCounters& c, NativeFile file, bool readOnly, std::int64_t length,
              bool flushOnClose = false)
        : File(c),
          file_(std::move(file)),
          readOnly_(readOnly),
          length_(length),
          flushOnClose_(flushOnClose) {}
    // A hand-off file's bytes reach the disk before it is renamed into place, so that a crash
    // leaves the old file or the new one.
    ~LocalFile() override {
        if (flushOnClose_) file_.flush();
    }
    std::int64_t length() const override { return length_; }
    bool readOnly() const override { return readOnly_; }

  protected:
    std::size_t doRead(std::int64_t offset, char* buf, std::size_t n) override {
        std::size_t done = 0;
        while (done < n) {
            std::int64_t got = file_.readAt(offset + std::int64_t(done), buf + done, n - done);
            if (got < 0)
                throw IoError(std::string("Device I/O error (") + std::strerror(errno) + ")");
            if (got == 0) break;
            done += static_cast<std::size_t>(got);
        }
        return done;
    }
    void doWrite(std::int64_t offset, const char* buf, std::size_t n) override {
        if (readOnly_) throw IoError("Permission denied");
        std::size_t done = 0;
        while (done < n) {
            std::int64_t put = file_.writeAt(offset + std::int64_t(done), buf + done, n - done);
            if (put <= 0) throw IoError("Device I/O error");
            done += static_cast<std::size_t>(put);
        }
        length_ = std::max<std::int64_t>(length_, offset + static_cast<std::int64_t>(n));
    }

  private:
    NativeFile file_;
    bool readOnly_;
    std::int64_t length_;
    bool flushOnClose_;
};

}  // namespace

LocalFileSystem::LocalFileSystem(fs::path root) : root_(std::move(root)) {}

fs::path LocalFileSystem::defaultRoot() {
    const char* env = std::getenv("FENNICK_UNC_ROOT");
    return fs::path(env && *env ? env : "/mnt");
}

std::optional<fs::path> LocalFileSystem::localPath(const std::string& uncPath) const {
    auto parts = uncComponents(uncPath);
    if (!parts) return std::nullopt;
    fs::path at = root_;
    std::error_code ec;
    for (const auto& part : *parts) {
        fs::path exact = at / part;
        if (fs::exists(exact, ec) || !fs::is_directory(at, ec)) {
            at = exact;
            continue;
        }
        fs::path found = exact;
        for (const auto& entry : fs::directory_iterator(at, ec)) {
            if (equalIgnoringCase(entry.path().filename().string(), part)) {
                found = entry.path();
                break;
            }
        }
        at = found;
    }
    return at;
}

bool LocalFileSystem::isDirectory(const std::string& path) {
    auto local = localPath(path);
    std::error_code ec;
    if (!local || !fs::is_directory(*local, ec)) return false;
    fs::directory_iterator probe(*local, ec);
    return !ec;
}

bool LocalFileSystem::fileExists(const std::string& path) {
    auto local = localPath(path);
    std::error_code ec;
    return local && fs::is_regular_file(*local, ec);
}

std::unique_ptr<File> LocalFileSystem::doOpen(const std::string& path, Access access) {
    auto local = localPath(path);
    std::error_code ec;
    if (!local || !fs::is_regular_file(*local, ec)) return nullptr;
    auto length = static_cast<std::int64_t>(fs::file_size(*local, ec));
    if (ec) return nullptr;
    NativeFile file;
    bool readOnly = access == Access::Read;
    if (!readOnly) file = NativeFile::open(*local, NativeFile::Mode::ReadWrite);
    if (!file.isOpen()) {
        file = NativeFile::open(*local, NativeFile::Mode::Read);
        readOnly = true;
    }
    if (!file.isOpen() && (errno == EACCES || errno == EPERM))
        throw AccessDenied(std::strerror(errno));
    if (!file.isOpen()) return nullptr;
    return std::make_unique<LocalFile>(counters_, std::move(file), readOnly, length);
}

std::unique_ptr<File> LocalFileSystem::create(const std::string& path) {
    auto local = localPath(path);
    if (!local) throw IoError("Bad file name: " + path);
    std::error_code ec;
    fs::create_directories(local->parent_path(), ec);
    NativeFile file = NativeFile::open(*local, NativeFile::Mode::Create);
    if (!file.isOpen()) throw IoError("Could not create " + local->string());
    return std::make_unique<LocalFile>(counters_, std::move(file), false, 0);
}

void LocalFileSystem::makeDirectory(const std::string& path) {
    auto local = localPath(path);
    std::error_code ec;
    if (!local || !fs::create_directories(*local, ec)) {
        if (local && fs::is_directory(*local, ec)) return;
        throw IoError("Could not create folder " + path);
    }
}

bool LocalFileSystem::remove(const std::string& path) {
    auto local = localPath(path);
    std::error_code ec;
    if (!local) return false;
    auto status = fs::symlink_status(*local, ec);
    return (fs::is_regular_file(status) || fs::is_symlink(status)) && fs::remove(*local, ec);
}

std::unique_ptr<File> LocalFileSystem::createNew(const std::string& path) {
    auto local = localPath(path);
    if (!local) throw IoError("Bad file name: " + path);
    remove(path);
    NativeFile file = NativeFile::open(*local, NativeFile::Mode::CreateNew);
    if (!file.isOpen())
        throw IoError("Could not create " + local->string() + " (" + std::strerror(errno) + ")");
    return std::make_unique<LocalFile>(counters_, std::move(file), false, 0, true);
}

void LocalFileSystem::rename(const std::string& from, const std::string& to) {
    auto source = localPath(from), target = localPath(to);
    if (!source || !target) throw IoError("Bad file name: " + (source ? to : from));
    std::error_code ec;
    fs::rename(*source, *target, ec);
    if (ec) throw IoError("Could not replace " + target->string() + " (" + ec.message() + ")");
}

}  // namespace fennick::platform
