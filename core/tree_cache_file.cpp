// The kept trees' files in the user's cache folder: found and read only when they are private
// regular files of the user's own, written to a new private file renamed over the old one.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "platform/descriptor.h"
#include "tree_cache.h"

namespace fennick::core {

namespace {

using platform::Descriptor;

constexpr mode_t kPrivateFolder = 0700;
constexpr mode_t kOthersBits = 077;
constexpr std::string_view kFolderName = "fennick";

std::optional<std::filesystem::path> absoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    if (!value || *value == '\0') return std::nullopt;
    std::filesystem::path path(value);
    if (!path.is_absolute()) return std::nullopt;  // a relative setting is to be ignored
    return path;
}

bool ownPrivate(const struct stat& info) {
    return info.st_uid == ::geteuid() && (info.st_mode & kOthersBits) == 0;
}

// The folder itself, not a link to one, and the user's own.
bool ownFolder(const std::filesystem::path& folder, struct stat& info) {
    return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::geteuid();
}

bool writeAll(int fd, const std::string& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        written += static_cast<std::size_t>(put);
    }
    return true;
}

// Up to `largest` bytes of the file; nothing when it holds more or a read fails.
std::optional<std::string> readAll(int fd, std::int64_t largest) {
    std::string bytes;
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return std::nullopt;
        if (got == 0) return bytes;
        if (static_cast<std::int64_t>(bytes.size()) + got > largest) return std::nullopt;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

}  // namespace

std::optional<std::filesystem::path> userCacheFolder() {
    if (auto cache = absoluteVariable("XDG_CACHE_HOME")) return *cache / kFolderName;
    if (auto home = absoluteVariable("HOME")) return *home / ".cache" / kFolderName;
    return std::nullopt;
}

std::filesystem::path TreeCache::fileOf(const TreeCacheKey& key) const {
    return folder_ / key.fileName();
}

std::optional<KeptTree> TreeCache::load(const TreeCacheKey& key) const {
    struct stat info {};
    if (!ownFolder(folder_, info)) return std::nullopt;
    const Descriptor file(
        ::open(fileOf(key).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0) return std::nullopt;
    if (!S_ISREG(info.st_mode) || !ownPrivate(info) || info.st_size > largestFile_)
        return std::nullopt;
    const std::optional<std::string> bytes = readAll(file.get(), largestFile_);
    if (!bytes) return std::nullopt;
    return decodeKeptTree(*bytes, key.text());
}

// Makes the folder (and the cache folder above it) when missing; a folder of the user's own
// that others may enter is closed to them. A link or a folder of someone else's is not used.
bool TreeCache::privateFolder() const {
    std::error_code failed;
    std::filesystem::create_directories(folder_.parent_path(), failed);
    if (::mkdir(folder_.c_str(), kPrivateFolder) != 0 && errno != EEXIST) return false;
    struct stat info {};
    if (!ownFolder(folder_, info)) return false;
    return (info.st_mode & kOthersBits) == 0 || ::chmod(folder_.c_str(), kPrivateFolder) == 0;
}

bool TreeCache::save(const TreeCacheKey& key, const ModelTreeData& tree,
                     const platform::LocalDateTime& readAt) const {
    if (tree.cancelled || !privateFolder()) return false;
    const std::string bytes = encodeKeptTree(key.text(), tree, readAt);
    if (static_cast<std::int64_t>(bytes.size()) > largestFile_) return false;
    // mkstemp makes a new file of mode 0600 and never opens an existing one or a link.
    std::string temporary = (folder_ / ".tree-XXXXXX").string();
    const Descriptor file(::mkstemp(temporary.data()));
    if (file.get() < 0) return false;
    const bool written =
        ::fchmod(file.get(), S_IRUSR | S_IWUSR) == 0 && writeAll(file.get(), bytes);
    // The rename replaces a link of that name, never writing where it points.
    if (written && ::rename(temporary.c_str(), fileOf(key).c_str()) == 0) return true;
    ::unlink(temporary.c_str());
    return false;
}

}  // namespace fennick::core
