#include "native_file.h"

#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#endif

namespace fennick::platform {

NativeFile::~NativeFile() {
    close();
}

NativeFile::NativeFile(NativeFile&& other) noexcept
    : handle_(std::exchange(other.handle_, kClosed)) {}

NativeFile& NativeFile::operator=(NativeFile&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = std::exchange(other.handle_, kClosed);
    }
    return *this;
}

#ifdef _WIN32

NativeFile NativeFile::open(const std::filesystem::path& path, Mode mode) {
    DWORD access = mode == Mode::Read ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    DWORD disposition = mode == Mode::Create      ? CREATE_ALWAYS
                        : mode == Mode::CreateNew ? CREATE_NEW
                                                  : OPEN_EXISTING;
    HANDLE h = CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return NativeFile();
    return NativeFile(reinterpret_cast<Handle>(h));
}

void NativeFile::close() {
    if (isOpen()) CloseHandle(reinterpret_cast<HANDLE>(std::exchange(handle_, kClosed)));
}

namespace {
OVERLAPPED at(std::int64_t offset) {
    OVERLAPPED o{};
    o.Offset = static_cast<DWORD>(offset & 0xFFFFFFFF);
    o.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return o;
}
}  // namespace

std::int64_t NativeFile::readAt(std::int64_t offset, char* buf, std::size_t n) {
    OVERLAPPED o = at(offset);
    DWORD got = 0;
    DWORD chunk = n > 0x40000000 ? 0x40000000 : static_cast<DWORD>(n);
    if (!ReadFile(reinterpret_cast<HANDLE>(handle_), buf, chunk, &got, &o))
        return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
    return got;
}

std::int64_t NativeFile::writeAt(std::int64_t offset, const char* buf, std::size_t n) {
    OVERLAPPED o = at(offset);
    DWORD put = 0;
    DWORD chunk = n > 0x40000000 ? 0x40000000 : static_cast<DWORD>(n);
    if (!WriteFile(reinterpret_cast<HANDLE>(handle_), buf, chunk, &put, &o)) return -1;
    return put;
}

bool NativeFile::flush() {
    return FlushFileBuffers(reinterpret_cast<HANDLE>(handle_)) != 0;
}

#else

NativeFile NativeFile::open(const std::filesystem::path& path, Mode mode) {
    int flags = O_CLOEXEC;
    if (mode == Mode::Read) flags |= O_RDONLY;
    if (mode == Mode::ReadWrite) flags |= O_RDWR;
    if (mode == Mode::Create) flags |= O_RDWR | O_CREAT | O_TRUNC;
    if (mode == Mode::CreateNew) flags |= O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW;
    int fd = ::open(path.c_str(), flags, 0666);
    return fd < 0 ? NativeFile() : NativeFile(fd);
}

void NativeFile::close() {
    if (isOpen()) ::close(static_cast<int>(std::exchange(handle_, kClosed)));
}

std::int64_t NativeFile::readAt(std::int64_t offset, char* buf, std::size_t n) {
    ssize_t got;
    do {
        got = ::pread(static_cast<int>(handle_), buf, n, static_cast<off_t>(offset));
    } while (got < 0 && errno == EINTR);
    return got;
}

std::int64_t NativeFile::writeAt(std::int64_t offset, const char* buf, std::size_t n) {
    ssize_t put;
    do {
        put = ::pwrite(static_cast<int>(handle_), buf, n, static_cast<off_t>(offset));
    } while (put < 0 && errno == EINTR);
    return put;
}

bool NativeFile::flush() {
    return ::fsync(static_cast<int>(handle_)) == 0;
}

#endif

}  // namespace fennick::platform
