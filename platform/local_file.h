#pragma once
// Small files of this machine that the programs read whole: the catalog settings file and an
// SMB credentials file. Each is opened once, without waiting (a FIFO does not hang the
// program), checked on the open descriptor (so that what was checked is what is read) and read
// up to its size limit; the bytes read are wiped when they are dropped, since a credentials
// file holds a password in the clear.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "file_system.h"

namespace fennick::platform {

// Bytes that are wiped before their memory is given back. Moving hands the buffer over; the
// bytes are never copied.
class WipedBytes {
  public:
    explicit WipedBytes(std::size_t capacity);
    explicit WipedBytes(std::string_view bytes);
    ~WipedBytes();
    WipedBytes(WipedBytes&& other) noexcept;
    WipedBytes& operator=(WipedBytes&&) = delete;
    WipedBytes(const WipedBytes&) = delete;
    WipedBytes& operator=(const WipedBytes&) = delete;

    char* data() { return bytes_.get(); }
    std::size_t capacity() const { return capacity_; }
    std::size_t size() const { return size_; }
    // Takes the first `size` bytes (at most the capacity) as the contents.
    void resize(std::size_t size);
    std::string_view view() const { return {bytes_.get(), size_}; }

  private:
    std::unique_ptr<char[]> bytes_;
    std::size_t capacity_;
    std::size_t size_ = 0;
};

// Who may have made or changed a file before the program trusts what it says.
enum class FileTrust {
    // The user named it (--ini): links are followed and the owner is the user's business.
    Named,
    // Found in a folder every user may write to (the temporary directory): no link, owned by
    // the user or root, and nobody else may write it.
    OwnedByUserOrRoot,
    // Holds a secret: no link, owned by the user, and nobody else may read or change it.
    Private,
};

// A file that cannot be used; the message names the file and says why, as a sentence. When it
// could not be opened or read, readFailure() is the system's reason ("Permission denied").
class LocalFileError : public std::runtime_error {
  public:
    explicit LocalFileError(const std::string& what, std::string readFailure = {})
        : std::runtime_error(what), readFailure_(std::move(readFailure)) {}
    const std::string& readFailure() const { return readFailure_; }

  private:
    std::string readFailure_;
};

// Reads a regular file of at most `file.limit` bytes that passes `trust`. Throws
// LocalFileError.
WipedBytes readLocalFile(const std::string& path, const WholeFile& file, FileTrust trust);

// While set, readLocalFile asks `fail` before each read it makes; a non-zero answer is taken as
// the error number of that read failing (tests fail one read this way). Empty: plain reading.
using LocalReadFailure =
    std::function<int(const std::string& path, std::int64_t offset, std::size_t length)>;
void setLocalReadFailure(LocalReadFailure fail);

}  // namespace fennick::platform
