#include "local_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "descriptor.h"

namespace fennick::platform {

namespace {

void wipe(char* bytes, std::size_t size) {
    if (bytes) ::explicit_bzero(bytes, size);
}

// Why a file opened under `trust` is not used, or nothing.
const char* refusal(const struct stat& info, FileTrust trust) {
    if (!S_ISREG(info.st_mode)) return "is not a regular file";
    if (trust == FileTrust::Named) return nullptr;
    const uid_t user = ::geteuid();
    if (info.st_uid != user && (trust == FileTrust::Private || info.st_uid != 0))
        return "belongs to another user";
    if (trust == FileTrust::Private && (info.st_mode & (S_IRWXG | S_IRWXO)))
        return "can be read or changed by others than its owner; make it private (chmod 600) "
               "first";
    if (info.st_mode & (S_IWGRP | S_IWOTH)) return "can be changed by other users";
    return nullptr;
}

LocalReadFailure& localReadFailure() {
    static LocalReadFailure fail;
    return fail;
}

}  // namespace

void setLocalReadFailure(LocalReadFailure fail) {
    localReadFailure() = std::move(fail);
}

WipedBytes::WipedBytes(std::size_t capacity)
    : bytes_(std::make_unique<char[]>(capacity)), capacity_(capacity) {}

WipedBytes::WipedBytes(std::string_view bytes) : WipedBytes(bytes.size()) {
    // An empty view may have no data at all, which memcpy must not be given.
    if (!bytes.empty()) std::memcpy(bytes_.get(), bytes.data(), bytes.size());
    size_ = bytes.size();
}

WipedBytes::~WipedBytes() {
    wipe(bytes_.get(), capacity_);
}

WipedBytes::WipedBytes(WipedBytes&& other) noexcept
    : bytes_(std::move(other.bytes_)),
      capacity_(std::exchange(other.capacity_, 0)),
      size_(std::exchange(other.size_, 0)) {}

void WipedBytes::resize(std::size_t size) {
    size_ = std::min(size, capacity_);
}

WipedBytes readLocalFile(const std::string& path, const WholeFile& file, FileTrust trust) {
    const std::string kind = "The " + std::string(file.kind) + " ";
    const std::string named = kind + path + " ";
    auto unreadable = [&](int error) {
        const std::string reason = std::strerror(error);
        return LocalFileError(named + "cannot be read: " + reason + ".", reason);
    };
    int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    if (trust != FileTrust::Named) flags |= O_NOFOLLOW;
    Descriptor fd(::open(path.c_str(), flags));
    if (fd.get() < 0) {
        if (errno == ELOOP && trust != FileTrust::Named)
            throw LocalFileError(named + "is a symbolic link.");
        throw unreadable(errno);
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) throw unreadable(errno);
    if (const char* why = refusal(info, trust)) throw LocalFileError(named + why + ".");
    if (info.st_size > file.limit) throw LocalFileError(kind + tooLargeText(path, file));
    // One byte more than the limit tells a file that grew since fstat.
    WipedBytes bytes(static_cast<std::size_t>(file.limit) + 1);
    std::size_t got = 0;
    while (got < bytes.capacity()) {
        const std::size_t wanted = bytes.capacity() - got;
        if (localReadFailure())
            if (int error = localReadFailure()(path, static_cast<std::int64_t>(got), wanted))
                throw unreadable(error);
        ssize_t n = ::read(fd.get(), bytes.data() + got, wanted);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw unreadable(errno);
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    if (got > static_cast<std::size_t>(file.limit))
        throw LocalFileError(kind + tooLargeText(path, file));
    bytes.resize(got);
    return bytes;
}

}  // namespace fennick::platform
