#include "smb_file_system.h"

#include <fcntl.h>
#include <libsmbclient.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <utility>

#include "parallel.h"
#include "smb_context.h"
#include "smb_reader_pool.h"
#include "unc_path.h"

namespace fennick::platform {

namespace {

// The client library keeps process-wide state (its talloc stack, its configuration) that is
// not guarded for threads in this build: the program's own context takes one call at a time.
// Recursive, so that a context may go while the lock is held.
std::recursive_mutex& libraryLock() {
    static std::recursive_mutex lock;
    return lock;
}

constexpr std::size_t kLargestTransfer = 1 << 20;
// Files opened ahead that are no larger are read whole in the same go, on the same reader.
constexpr std::int64_t kReadWholeAhead = 64 * 1024;

// Whether something accepts connections on the server's port within the time-out: the client
// library gives a server that drops connection attempts 20 seconds. A name the resolver does
// not know (a NetBIOS name) is left to the library.
int connectError(const std::string& server, std::uint16_t port, int timeoutMs) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(server.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return 0;
    int error = ETIMEDOUT;
    for (addrinfo* a = found; a && error != 0; a = a->ai_next) {
        int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0) continue;
        if (::connect(fd, a->ai_addr, a->ai_addrlen) == 0) {
            error = 0;
        } else if (errno != EINPROGRESS) {
            error = errno;
        } else {
            pollfd p{fd, POLLOUT, 0};
            socklen_t size = sizeof error;
            if (::poll(&p, 1, timeoutMs) != 1 ||
                ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
                error = ETIMEDOUT;
        }
        ::close(fd);
    }
    ::freeaddrinfo(found);
    return error;
}

}  // namespace

// The program's own client context, for writing; made and freed under the library lock.
class SmbFileSystem::Session {
  public:
    Session(const SmbLogon& logon, std::uint16_t port, int timeoutMs) {
        std::lock_guard guard(libraryLock());
        context_.emplace(logon, port, timeoutMs);
    }
    ~Session() {
        std::lock_guard guard(libraryLock());
        context_.reset();
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    SMBCCTX* ctx() { return context_->get(); }

  private:
    std::optional<SmbContext> context_;
};

namespace {

struct SharePath {
    std::string server, share, url;
    std::size_t depth = 0;  // components below the share
    std::string root() const { return "\\\\" + server + "\\" + share + "\\"; }
};

std::optional<SharePath> sharePath(const std::string& unc) {
    auto parts = uncComponents(unc);
    auto url = SmbFileSystem::url(unc);
    if (!parts || !url) return std::nullopt;
    return SharePath{(*parts)[0], (*parts)[1], *url, parts->size() - 2};
}

std::string failureText(int error) {
    return error == SmbReaderPool::kReaderEnded ? "its reader process ended twice"
                                                : std::strerror(error);
}

[[noreturn]] void throwLost(const SharePath& path, int error) {
    throw ConnectionLost(invalidShareText(path.root()) + "\nThe connection to the server " +
                         path.server + " was lost (" + failureText(error) + ").");
}

// The request's connection is gone: its reader and the reader's replacement ended without
// answering, or the connection broke.
bool lostConnection(int error) {
    return error == SmbReaderPool::kReaderEnded || connectionFailure(error);
}

void throwIfLost(const SharePath& path, int error) {
    if (lostConnection(error)) throwLost(path, error);
}

// A failed request: the connection lost, or the device's error.
[[noreturn]] void throwFailure(const SharePath& path, int error) {
    throwIfLost(path, error);
    throw IoError("Device I/O error (" + failureText(error) + ")");
}

// A file opened for reading: its reads go to the reader pool, in pieces no larger than a reader
// answers, or to the bytes read with its opening while those are kept.
class PooledFile : public File {
  public:
    PooledFile(IoCounters& c, std::shared_ptr<SmbReaderPool> pool, SharePath path,
               std::int64_t length, std::weak_ptr<const std::string> whole = {})
        : File(c),
          pool_(std::move(pool)),
          path_(std::move(path)),
          length_(length),
          whole_(std::move(whole)) {}
    std::int64_t length() const override { return length_; }
    bool readOnly() const override { return true; }

  protected:
    std::size_t doRead(std::int64_t offset, char* buf, std::size_t n) override {
        if (auto whole = whole_.lock();
            whole && offset >= 0 && static_cast<std::size_t>(offset) + n <= whole->size()) {
            std::memcpy(buf, whole->data() + offset, n);
            return n;
        }
        std::size_t done = 0;
        while (done < n) {
            std::size_t want = std::min(n - done, smb_wire::kLargestRead);
            smb_wire::Answer answer =
                pool_->read(path_.url, offset + static_cast<std::int64_t>(done), want);
            if (answer.error != 0) throwFailure(path_, answer.error);
            std::memcpy(buf + done, answer.bytes.data(), answer.bytes.size());
            done += answer.bytes.size();
            if (answer.bytes.size() < want) break;
        }
        return done;
    }
    void doWrite(std::int64_t, const char*, std::size_t) override {
        throw IoError("Permission denied");
    }

  private:
    std::shared_ptr<SmbReaderPool> pool_;
    SharePath path_;
    std::int64_t length_;
    std::weak_ptr<const std::string> whole_;
};

// A file opened for writing, through the program's own context: reads and writes seek the
// handle and transfer under the library lock. A broken connection fails the call.
class SmbFile : public File {
  public:
    SmbFile(IoCounters& c, std::shared_ptr<SmbFileSystem::Session> session, SharePath path,
            int flags, SMBCFILE* handle, std::int64_t length)
        : File(c),
          session_(std::move(session)),
          path_(std::move(path)),
          flags_(flags),
          handle_(handle),
          length_(length) {}
    ~SmbFile() override {
        std::lock_guard guard(libraryLock());
        smbc_getFunctionClose(session_->ctx())(session_->ctx(), handle_);
    }
    std::int64_t length() const override { return length_; }
    bool readOnly() const override { return (flags_ & O_ACCMODE) == O_RDONLY; }

  private:
    // Moves n bytes at offset in transfers no larger than the server takes. `step` moves one
    // transfer and answers how many bytes it moved; 0 is the end of the file for a read and a
    // failure for a write.
    template <class Step>
    std::size_t transferAll(std::int64_t offset, std::size_t n, bool zeroIsFailure, Step step) {
        std::lock_guard guard(libraryLock());
        SMBCCTX* ctx = session_->ctx();
        std::size_t done = 0;
        while (done < n) {
            errno = 0;
            auto at = static_cast<off_t>(offset + static_cast<std::int64_t>(done));
            ssize_t moved = smbc_getFunctionLseek(ctx)(ctx, handle_, at, SEEK_SET) < 0
                                ? -1
                                : step(ctx, done, std::min(n - done, kLargestTransfer));
            if (moved < 0 || (moved == 0 && zeroIsFailure))
                throwFailure(path_, errno != 0 ? errno : EIO);
            if (moved == 0) break;
            done += static_cast<std::size_t>(moved);
        }
        return done;
    }

  protected:
    std::size_t doRead(std::int64_t offset, char* buf, std::size_t n) override {
        return transferAll(offset, n, false, [&](SMBCCTX* ctx, std::size_t done, std::size_t want) {
            return smbc_getFunctionRead(ctx)(ctx, handle_, buf + done, want);
        });
    }
    void doWrite(std::int64_t offset, const char* buf, std::size_t n) override {
        if (readOnly()) throw IoError("Permission denied");
        transferAll(offset, n, true, [&](SMBCCTX* ctx, std::size_t done, std::size_t want) {
            return smbc_getFunctionWrite(ctx)(ctx, handle_, buf + done, want);
        });
        length_ = std::max<std::int64_t>(length_, offset + static_cast<std::int64_t>(n));
    }

  private:
    std::shared_ptr<SmbFileSystem::Session> session_;
    SharePath path_;
    int flags_;
    SMBCFILE* handle_;
    std::int64_t length_;
};

std::string percentEncoded(const std::string& part) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : part) {
        bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                     c == '-' || c == '.' || c == '_' || c == '~' || c == '$';
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

}  // namespace

SmbFileSystem::SmbFileSystem(SmbOptions options)
    : logon_(defaultLogon(std::move(options.credentials))),
      port_(options.port),
      timeoutMs_(options.timeoutMs),
      askCredentials_(std::move(options.askCredentials)) {
    SmbReaderOptions readers;
    readers.program = options.readerProgram;
    readers.readers = options.connections;
    readers.slowLinkReaders = options.slowLinkConnections;
    readers.port = port_;
    readers.timeoutMs = timeoutMs_;
    readers.logon = logon_;
    pool_ = std::make_shared<SmbReaderPool>(std::move(readers));
}

SmbFileSystem::~SmbFileSystem() = default;

std::shared_ptr<SmbFileSystem::Session> SmbFileSystem::writer() {
    std::lock_guard guard(libraryLock());
    if (!writer_) writer_ = std::make_shared<Session>(logon_, port_, timeoutMs_);
    return writer_;
}

void SmbFileSystem::logOn(SmbCredentials credentials) {
    std::lock_guard guard(libraryLock());
    logon_.credentials = std::move(credentials);
    logon_.kerberos = false;
    pool_->logOn(logon_);
    writer_.reset();
}

ReadShape SmbFileSystem::readShape() const {
    return {pool_->gapWorthReading(), pool_->size(), pool_->bytesWorthInFlight()};
}

std::optional<std::string> SmbFileSystem::url(const std::string& uncPath) {
    auto parts = uncComponents(uncPath);
    if (!parts || parts->size() < 2) return std::nullopt;
    std::string out = "smb:/";
    for (const auto& part : *parts)
        out += "/" + percentEncoded(part);
    return out;
}

bool SmbFileSystem::isDirectory(const std::string& path) {
    lastProblem_.clear();
    auto target = sharePath(path);
    if (!target) return false;
    // With no password at stake (guest, or a ticket) every reader logs on now, beside the check
    // (from the first, that the server answers on the port), and the first to reach the share's
    // root answers for it. Anything but a reachable share is asked again below, for its precise
    // answer.
    const bool warmNow = !logon_.credentials && target->depth == 0;
    if (warmNow) pool_->warmUp(target->url, std::exchange(willOpen_, {}));
    if (int error = connectError(target->server, port_, timeoutMs_)) {
        lastProblem_ = "The server " + target->server + " does not answer on port " +
                       std::to_string(port_) + " (" + std::strerror(error) + ").";
        return false;
    }
    if (warmNow && pool_->connect(target->url).error == 0) return true;
    for (int asked = 0;; ++asked) {
        smb_wire::Answer answer = pool_->stat(target->url);
        if (answer.error == 0) {
            bool directory = answer.kind == smb_wire::Kind::Directory;
            // The other readers connect while the program goes on starting.
            if (directory) pool_->warmUp(target->url);
            return directory;
        }
        int error = answer.error;
        LogonRefusal refused = refusal(logon_, target->server, target->share);
        if (lostConnection(error)) {
            lastProblem_ = "The server " + target->server + " does not answer on port " +
                           std::to_string(port_) + " (" + failureText(error) + ").";
        } else if (accessRefused(error)) {
            lastProblem_ = "The server " + target->server + " refuses access to the share " +
                           target->share + " for " + refused.tried + ".";
        } else if (error == ENOENT && target->depth == 0) {
            lastProblem_ = "The server " + target->server + " has no share " + target->share + ".";
        }
        if (!accessRefused(error) || !askCredentials_ || asked >= 3) return false;
        auto credentials = askCredentials_(refused);
        if (!credentials) return false;
        logOn(std::move(*credentials));
    }
}

std::string SmbFileSystem::lastProblem() const {
    return lastProblem_;
}

bool SmbFileSystem::fileExists(const std::string& path) {
    auto target = sharePath(path);
    if (!target) return false;
    smb_wire::Answer answer = pool_->stat(target->url);
    throwIfLost(*target, answer.error);
    return answer.error == 0 && answer.kind == smb_wire::Kind::File;
}

void SmbFileSystem::willOpen(const std::vector<std::string>& paths) {
    willOpen_.clear();
    for (const auto& path : paths)
        if (auto target = sharePath(path)) willOpen_.push_back(target->url);
}

void SmbFileSystem::withOpenedAhead(const std::vector<std::string>& paths,
                                    const std::function<void()>& opens) {
    std::vector<SharePath> targets;
    for (const auto& path : paths)
        if (auto target = sharePath(path)) targets.push_back(*target);
    std::vector<smb_wire::Answer> answers(targets.size());
    std::vector<std::shared_ptr<const std::string>> wholes(targets.size());
    runInParallel(targets.size(), pool_->size(), [&](std::size_t i) {
        smb_wire::Answer& opened = answers[i] = pool_->open(targets[i].url);
        if (opened.error != 0 || opened.size <= 0 || opened.size > kReadWholeAhead) return;
        auto size = static_cast<std::size_t>(opened.size);
        smb_wire::Answer read = pool_->read(targets[i].url, 0, size);
        if (lostConnection(read.error)) opened.error = read.error;
        if (read.error == 0 && read.bytes.size() == size)
            wholes[i] = std::make_shared<const std::string>(std::move(read.bytes));
    });
    // A lost connection ends the action here: each open would otherwise wait out the time-out
    // once more.
    for (std::size_t i = 0; i < answers.size(); ++i)
        throwIfLost(targets[i], answers[i].error);
    {
        std::lock_guard lock(aheadMutex_);
        for (std::size_t i = 0; i < targets.size(); ++i)
            if (answers[i].error == 0) {
                openedAhead_[targets[i].url] = {answers[i].size, wholes[i]};
                if (wholes[i]) readAhead_.push_back(wholes[i]);
            }
    }
    struct Forget {
        SmbFileSystem* share;
        ~Forget() {
            std::lock_guard lock(share->aheadMutex_);
            share->openedAhead_.clear();
            share->readAhead_.clear();
        }
    } forget{this};
    opens();
}

std::unique_ptr<File> SmbFileSystem::doOpen(const std::string& path, Access access) {
    auto target = sharePath(path);
    if (!target) return nullptr;
    if (access == Access::Read) {
        {
            std::lock_guard lock(aheadMutex_);
            if (auto ahead = openedAhead_.extract(target->url))
                return std::make_unique<PooledFile>(counters_, pool_, *target, ahead.mapped().size,
                                                    ahead.mapped().whole);
        }
        smb_wire::Answer answer = pool_->open(target->url);
        throwIfLost(*target, answer.error);
        if (answer.error != 0) return nullptr;
        return std::make_unique<PooledFile>(counters_, pool_, *target, answer.size);
    }
    auto session = writer();
    std::lock_guard guard(libraryLock());
    SMBCCTX* ctx = session->ctx();
    int flags = O_RDWR;
    SMBCFILE* handle = smbc_getFunctionOpen(ctx)(ctx, target->url.c_str(), flags, 0);
    if (!handle && accessRefused(errno)) {
        flags = O_RDONLY;
        handle = smbc_getFunctionOpen(ctx)(ctx, target->url.c_str(), flags, 0);
    }
    if (!handle) {
        int error = errno;
        throwIfLost(*target, error);
        if (accessRefused(error)) throw AccessDenied("Permission denied");
        return nullptr;
    }
    struct stat info {};
    if (smbc_getFunctionFstat(ctx)(ctx, handle, &info) != 0 || !S_ISREG(info.st_mode)) {
        int error = errno;
        smbc_getFunctionClose(ctx)(ctx, handle);
        throwIfLost(*target, error);
        return nullptr;
    }
    return std::make_unique<SmbFile>(counters_, session, *target, flags, handle,
                                     static_cast<std::int64_t>(info.st_size));
}

std::unique_ptr<File> SmbFileSystem::create(const std::string& path) {
    auto target = sharePath(path);
    if (!target || target->depth == 0) throw IoError("Bad file name: " + path);
    auto slash = path.find_last_of("\\/");
    for (int attempt = 0;; ++attempt) {
        auto session = writer();
        std::unique_lock guard(libraryLock());
        SMBCCTX* ctx = session->ctx();
        int flags = O_RDWR | O_CREAT | O_TRUNC;
        SMBCFILE* handle = smbc_getFunctionOpen(ctx)(ctx, target->url.c_str(), flags, 0666);
        if (handle) return std::make_unique<SmbFile>(counters_, session, *target, flags, handle, 0);
        int error = errno;
        throwIfLost(*target, error);
        if (error != ENOENT || attempt > 0 || target->depth < 2)
            throw IoError("Could not create " + path + " (" + std::strerror(error) + ")");
        guard.unlock();
        makeDirectory(path.substr(0, slash));
    }
}

std::unique_ptr<File> SmbFileSystem::createNew(const std::string& path) {
    auto target = sharePath(path);
    if (!target || target->depth == 0) throw IoError("Bad file name: " + path);
    auto session = writer();
    std::lock_guard guard(libraryLock());
    SMBCCTX* ctx = session->ctx();
    // A server removes a link itself, not what it points to; what fails to go makes the
    // exclusive creation fail.
    if (smbc_getFunctionUnlink(ctx)(ctx, target->url.c_str()) != 0 && connectionFailure(errno))
        throwLost(*target, errno);
    const int flags = O_RDWR | O_CREAT | O_EXCL;
    SMBCFILE* handle = smbc_getFunctionOpen(ctx)(ctx, target->url.c_str(), flags, 0666);
    if (!handle) {
        int error = errno;
        throwIfLost(*target, error);
        throw IoError("Could not create " + path + " (" + std::strerror(error) + ")");
    }
    return std::make_unique<SmbFile>(counters_, session, *target, flags, handle, 0);
}

void SmbFileSystem::rename(const std::string& from, const std::string& to) {
    auto source = sharePath(from), target = sharePath(to);
    if (!source || !target || source->depth == 0 || target->depth == 0)
        throw IoError("Bad file name: " + (source ? to : from));
    auto session = writer();
    std::lock_guard guard(libraryLock());
    SMBCCTX* ctx = session->ctx();
    if (smbc_getFunctionRename(ctx)(ctx, source->url.c_str(), ctx, target->url.c_str()) == 0)
        return;
    int error = errno;
    throwIfLost(*target, error);
    // The library answers with the first rename's "exists" when it could not remove the file.
    if (error == EEXIST)
        throw IoError("Could not replace " + to +
                      " (another program holds it open, or it cannot be removed)");
    throw IoError("Could not replace " + to + " (" + std::strerror(error) + ")");
}

void SmbFileSystem::makeDirectory(const std::string& path) {
    auto parts = uncComponents(path);
    if (!parts || parts->size() < 2) throw IoError("Could not create folder " + path);
    std::string at = "\\\\" + (*parts)[0] + "\\" + (*parts)[1];
    for (std::size_t i = 2; i < parts->size(); ++i) {
        at += "\\" + (*parts)[i];
        auto session = writer();
        std::lock_guard guard(libraryLock());
        SMBCCTX* ctx = session->ctx();
        if (smbc_getFunctionMkdir(ctx)(ctx, url(at)->c_str(), 0777) == 0 || errno == EEXIST)
            continue;
        throw IoError("Could not create folder " + path + " (" + std::strerror(errno) + ")");
    }
}

bool SmbFileSystem::remove(const std::string& path) {
    auto target = sharePath(path);
    if (!target || target->depth == 0) return false;
    auto session = writer();
    std::lock_guard guard(libraryLock());
    SMBCCTX* ctx = session->ctx();
    return smbc_getFunctionUnlink(ctx)(ctx, target->url.c_str()) == 0;
}

}  // namespace fennick::platform
