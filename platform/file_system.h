#pragma once
// Byte-level access to the dealer share. Paths are UNC-form strings ("\\SERVER\SHARE\rest");
// each file system decides how they map to real storage. Every call is counted so that tests
// and benchmarks can assert how much I/O an operation did.

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace fennick::platform {

// How a file is opened. The dealer's files are read with Read only; ReadWrite is for the
// share writers and the engine's write operations in tools and tests.
enum class Access { Read, ReadWrite };

// A count that several threads may add to at once; copies take its value at that moment, so
// callers keep a copy of the counters before an operation and subtract afterwards.
class Count {
  public:
    Count(std::int64_t value = 0) : value_(value) {}
    Count(const Count& other) : value_(other.value()) {}
    Count& operator=(const Count& other) {
        value_.store(other.value(), std::memory_order_relaxed);
        return *this;
    }
    std::int64_t value() const { return value_.load(std::memory_order_relaxed); }
    operator std::int64_t() const { return value(); }
    Count& operator+=(std::int64_t n) {
        value_.fetch_add(n, std::memory_order_relaxed);
        return *this;
    }
    Count& operator++() { return *this += 1; }
    friend std::ostream& operator<<(std::ostream& out, const Count& c) { return out << c.value(); }

  private:
    std::atomic<std::int64_t> value_;
};

struct IoCounters {
    Count opens;
    Count reads;
    Count bytesRead;
    Count writes;
    Count bytesWritten;
};

// An open file. Reads past the end return fewer bytes; the caller decides what the rest holds.
class File {
  public:
    explicit File(IoCounters& counters) : counters_(counters) {}
    virtual ~File() = default;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Reads up to n bytes at offset into buf; returns how many were read. Throws on I/O failure.
    std::size_t readAt(std::int64_t offset, char* buf, std::size_t n);
    // Writes n bytes at offset, growing the file when needed. Throws on I/O failure.
    void writeAt(std::int64_t offset, const char* buf, std::size_t n);
    virtual std::int64_t length() const = 0;
    virtual bool readOnly() const = 0;

  protected:
    virtual std::size_t doRead(std::int64_t offset, char* buf, std::size_t n) = 0;
    virtual void doWrite(std::int64_t offset, const char* buf, std::size_t n) = 0;

  private:
    IoCounters& counters_;
};

// I/O failure of the storage underneath (the platform's input/output error).
class IoError : public std::exception {
  public:
    explicit IoError(std::string what) : what_(std::move(what)) {}
    const char* what() const noexcept override { return what_.c_str(); }

  private:
    std::string what_;
};

// The connection to the server holding the share broke, or the server stopped answering,
// while an action was using it. It ends the whole action: callers that skip a record they
// cannot read let it pass, so that nothing is shown as complete that was cut short.
class ConnectionLost : public IoError {
  public:
    using IoError::IoError;
};

// The storage refuses to open a file that is there (its permissions, or the server's).
class AccessDenied : public IoError {
  public:
    using IoError::IoError;
};

// The message of a share that cannot be reached: "You are attempting to connect to: " + root +
// " and this shows to be an invalid network share".
std::string invalidShareText(const std::string& root);

// How reads are best shaped for a storage: reading through a gap of up to `gapWorthReading`
// bytes between wanted ranges costs less than one more round trip, `inFlight` reads are served
// at once, and reads together have at most `bytesInFlight` bytes on the way (0: no limit).
struct ReadShape {
    std::int64_t gapWorthReading = 32 * 1024;
    int inFlight = 16;
    std::int64_t bytesInFlight = 0;
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;
    // True when the path names an existing, readable directory.
    virtual bool isDirectory(const std::string& path) = 0;
    // Why the last isDirectory that answered false did so, as a sentence for the user (server
    // not answering, share missing, access refused); empty when there is nothing more to say
    // than that the folder is not there.
    virtual std::string lastProblem() const { return {}; }
    // True when the path names an existing regular file.
    virtual bool fileExists(const std::string& path) = 0;
    // Opens an existing file for shared reading (and writing, when asked for and allowed; a
    // file that cannot be written is opened read-only); nullptr when it does not exist or
    // cannot be opened. Throws AccessDenied when the file is there but may not be read.
    std::unique_ptr<File> open(const std::string& path, Access access = Access::Read);
    // Creates (or truncates) a file and any missing folders; for writers of shares, never
    // called by the viewer on the dealer's share.
    virtual std::unique_ptr<File> create(const std::string& path) = 0;
    // Creates a folder and its parents (writers of shares only).
    virtual void makeDirectory(const std::string& path) = 0;
    // Removes a file (or a link, never what it points to); false when it is not there or
    // cannot be removed. The viewer uses it only to take back a hand-off file it failed to
    // write completely. File systems that cannot remove anything keep this answer.
    virtual bool remove(const std::string& path) {
        (void)path;
        return false;
    }
    // Local storage answers at once; a file server measures its link as it reads.
    virtual ReadShape readShape() const { return {}; }
    // The program is about to open these files for reading: a file server may start opening
    // them before it is asked, while it logs on. Only a help.
    virtual void willOpen(const std::vector<std::string>& paths) { (void)paths; }
    // Runs `opens`, in which every open for reading of one of `paths` takes its file from those
    // opened here all at once beforehand, where the storage serves several requests at once:
    // one round trip for them all rather than one each. Only a help: a path that did not open
    // here is opened by its own call, which meets what is wrong there. Files opened here that
    // `opens` did not take are forgotten when it returns. A file server may read small files
    // whole in the same go; their reads in `opens` then come from those bytes.
    virtual void withOpenedAhead(const std::vector<std::string>& paths,
                                 const std::function<void()>& opens) {
        (void)paths;
        opens();
    }
    // Creates a new file for writing, never through a link: whatever holds the name (a stale
    // file, a link) is removed first, and the file is then created exclusively, so that a link
    // planted in between makes this fail rather than be followed. Missing folders are not
    // made. Throws IoError; file systems that take no hand-off files always do.
    virtual std::unique_ptr<File> createNew(const std::string& path);
    // Renames `from` over `to`: a file or a link at `to` is replaced, never what a link points
    // to. Throws IoError.
    virtual void rename(const std::string& from, const std::string& to);

    IoCounters& counters() { return counters_; }

  protected:
    virtual std::unique_ptr<File> doOpen(const std::string& path, Access access) = 0;
    IoCounters counters_;
};

// A kind of file that is read whole into memory, and the most it may hold: a larger one is
// refused before anything of its size is allocated.
struct WholeFile {
    std::string_view kind;  // how the refusal names it: "terminal map"
    std::int64_t limit;     // bytes
};
constexpr std::int64_t kShareFileLimit = 16 * 1024 * 1024;
constexpr std::int64_t kLocalFileLimit = 64 * 1024;
constexpr WholeFile kTerminalMap{"terminal map", kShareFileLimit};
constexpr WholeFile kLinksFile{"links file", kShareFileLimit};  // 160 bytes a link
constexpr WholeFile kDirectoryFile{"directory file", kShareFileLimit};
constexpr WholeFile kSettingsFile{"settings file", kLocalFileLimit};
constexpr WholeFile kCredentialsFile{"credentials file", kLocalFileLimit};

// "PATH is too large to be a KIND (more than N bytes)."
std::string tooLargeText(const std::string& path, const WholeFile& file);

// Reads the whole file into a string; empty when the file cannot be opened. Throws IoError with
// tooLargeText when the file is longer than its kind allows.
std::string readWholeFile(FileSystem& fs, const std::string& path, const WholeFile& file,
                          bool* opened = nullptr);

// Hands `bytes` over as the file `path`, so that whoever reads it finds the old file or the new
// one whole, never a part: they are written to `path` + ".tmp" (createNew) and that is renamed
// over `path`. On failure the temporary file is removed and IoError thrown.
void replaceFile(FileSystem& fs, const std::string& path, const std::string& bytes);

// A file system held in memory, keyed by path without regard to letter case. Tests build
// shares in it. It is safe for a writer thread beside the readers (one lock around the byte
// store), and it can make reads fail after a chosen number of them.
class MemoryFileSystem : public FileSystem {
  public:
    MemoryFileSystem();
    bool isDirectory(const std::string& path) override;
    bool fileExists(const std::string& path) override;
    std::unique_ptr<File> create(const std::string& path) override;
    void makeDirectory(const std::string& path) override;
    bool remove(const std::string& path) override;
    std::unique_ptr<File> createNew(const std::string& path) override;
    void rename(const std::string& from, const std::string& to) override;

    void addDirectory(const std::string& path) { makeDirectory(path); }
    void setFile(const std::string& path, std::string bytes);
    // The bytes of a file; not for use while another thread writes it.
    const std::string* contents(const std::string& path) const;
    // Every file's path, as the store keys it (folded).
    std::vector<std::string> paths() const;
    // Cuts a file to `size` bytes (or pads it with zeros), as another workstation might.
    void resize(const std::string& path, std::size_t size);
    void setUnopenable(const std::string& path);
    // Opening the file is refused (AccessDenied), as a file without read permission is.
    void setRefused(const std::string& path);
    // Every later read that touches `length` bytes at `offset` of the file fails (a bad block).
    void setUnreadable(const std::string& path, std::int64_t offset, std::int64_t length);
    // From now on, `reads` more reads of any file succeed and every later one fails with the
    // platform's I/O error; -1 lets every read succeed again.
    void failReadsAfter(std::int64_t reads);

    struct Store;

  protected:
    std::unique_ptr<File> doOpen(const std::string& path, Access access) override;

  private:
    static std::string fold(const std::string& path);
    std::shared_ptr<Store> store_;
};

}  // namespace fennick::platform
