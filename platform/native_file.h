#pragma once
// A file descriptor (a handle on Windows) with positional reads and writes: each call moves
// exactly the bytes asked for at the offset given, with no shared file position, so several
// threads may read one open file at once.

#include <cstdint>
#include <filesystem>

namespace fennick::platform {

class NativeFile {
  public:
    // Create makes the file or cuts it to nothing; CreateNew fails when anything, a link
    // included, already has the name.
    enum class Mode { Read, ReadWrite, Create, CreateNew };

    NativeFile() = default;
    static NativeFile open(const std::filesystem::path& path, Mode mode);
    ~NativeFile();
    NativeFile(NativeFile&& other) noexcept;
    NativeFile& operator=(NativeFile&& other) noexcept;
    NativeFile(const NativeFile&) = delete;
    NativeFile& operator=(const NativeFile&) = delete;

    bool isOpen() const { return handle_ != kClosed; }
    // Bytes read (0 at the end of the file), or -1 on failure.
    std::int64_t readAt(std::int64_t offset, char* buf, std::size_t n);
    // Bytes written, or -1 on failure.
    std::int64_t writeAt(std::int64_t offset, const char* buf, std::size_t n);
    // Waits until what was written is on the disk; false on failure.
    bool flush();

  private:
    using Handle = std::intptr_t;
    static constexpr Handle kClosed = -1;
    explicit NativeFile(Handle handle) : handle_(handle) {}
    void close();
    Handle handle_ = kClosed;
};

}  // namespace fennick::platform
