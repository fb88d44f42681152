#include "smb_file_system.h"

#include <arpa/inet.h>
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

#include "smb_kerberos.h"
#include "unc_path.h"

namespace fennick::platform {

namespace {

// The client library keeps process-wide state (its talloc stack, its configuration) that is
// not guarded for threads in this build, so all contexts share one lock.
std::mutex& libraryLock() {
    static std::mutex lock;
    return lock;
}

bool connectionFailure(int error) {
    switch (error) {
        case ECONNABORTED:
        case ECONNRESET:
        case ECONNREFUSED:
        case ETIMEDOUT:
        case EPIPE:
        case ENOTCONN:
        case EHOSTUNREACH:
        case EHOSTDOWN:
        case ENETUNREACH:
        case ENETDOWN:
        case ENETRESET:
        case ESHUTDOWN:
            return true;
        default:
            return false;
    }
}

bool accessRefused(int error) {
    return error == EACCES || error == EPERM;
}

bool isAddress(const std::string& server) {
    in6_addr address{};
    return ::inet_pton(AF_INET, server.c_str(), &address) == 1 ||
           ::inet_pton(AF_INET6, server.c_str(), &address) == 1;
}

// The library's own diagnostics would land on stdout, in the middle of the CLI's output.
void discardLog(void*, int, const char*) {}

void copyInto(char* target, int size, std::string_view value) {
    if (size <= 0) return;
    auto n = std::min<std::size_t>(value.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(target, value.data(), n);
    target[n] = '\0';
}

constexpr std::size_t kLargestTransfer = 1 << 20;
// Opening flags that make a file: a file opened again after a reconnect is the one made.
constexpr int kCreating = O_CREAT | O_TRUNC | O_EXCL;

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

// One client context with its cached connections and the account it uses.
class SmbFileSystem::Session {
  public:
    explicit Session(const SmbOptions& options) : credentials_(options.credentials) {
        if (!credentials_) ticket_ = kerberosTicket();
        std::lock_guard guard(libraryLock());
        ctx_ = smbc_new_context();
        if (!ctx_) throw IoError("The SMB client cannot start");
        smbc_setLogCallback(ctx_, nullptr, discardLog);
        smbc_setDebug(ctx_, 0);
        smbc_setPort(ctx_, options.port);
        smbc_setTimeout(ctx_, options.timeoutMs);
        smbc_setOptionUserData(ctx_, this);
        smbc_setFunctionAuthDataWithContext(ctx_, &Session::authenticate);
        if (!credentials_ && ticket_.usable()) {
            smbc_setOptionUseKerberos(ctx_, 1);
            smbc_setOptionFallbackAfterKerberos(ctx_, 1);
            smbc_setOptionUseCCache(ctx_, 1);
        }
        if (!smbc_init_context(ctx_)) {
            smbc_free_context(ctx_, 1);
            throw IoError("The SMB client cannot start");
        }
    }
    ~Session() {
        std::lock_guard guard(libraryLock());
        smbc_free_context(ctx_, 1);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    SMBCCTX* ctx() { return ctx_; }
    // What `server` refused: the credentials, else the ticket and guest, else guest and why
    // the ticket was not tried.
    LogonRefusal refusal(const std::string& server, const std::string& share) const {
        LogonRefusal refused{server, share, "guest", {}, {}};
        if (credentials_) {
            if (credentials_->username.empty()) return refused;
            refused.tried = credentials_->account();
            refused.username = credentials_->username;
            refused.domain = credentials_->domain;
        } else if (ticket_.principal.empty()) {
            refused.tried = "guest (no Kerberos ticket)";
        } else if (ticket_.expired) {
            refused.tried = "guest (the Kerberos ticket of " + ticket_.principal + " has expired)";
        } else if (isAddress(server)) {
            refused.tried = "guest (a Kerberos ticket needs the server's name, not its address)";
        } else {
            refused.tried = "the Kerberos ticket of " + ticket_.principal + " or guest";
        }
        return refused;
    }
    // New credentials for the next connections, instead of any ticket; called with the
    // library lock held.
    void use(SmbCredentials credentials) {
        credentials_ = std::move(credentials);
        smbc_setOptionUseKerberos(ctx_, 0);
        smbc_setOptionUseCCache(ctx_, 0);
        smbc_getFunctionPurgeCachedServers(ctx_)(ctx_);
    }

  private:
    static void authenticate(SMBCCTX* ctx, const char*, const char*, char* workgroup,
                             int workgroupSize, char* user, int userSize, char* password,
                             int passwordSize) {
        auto* self = static_cast<Session*>(smbc_getOptionUserData(ctx));
        if (self->credentials_ && !self->credentials_->username.empty()) {
            const SmbCredentials& c = *self->credentials_;
            if (!c.domain.empty()) copyInto(workgroup, workgroupSize, c.domain);
            copyInto(user, userSize, c.username);
            copyInto(password, passwordSize, c.password());
        } else {
            // Guest, also after a ticket the server refused; the library falls back to an
            // anonymous session where guest is refused.
            copyInto(user, userSize, "guest");
            copyInto(password, passwordSize, "");
        }
    }

    SMBCCTX* ctx_ = nullptr;
    std::optional<SmbCredentials> credentials_;
    KerberosTicket ticket_;
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

[[noreturn]] void throwLost(const SharePath& path, int error) {
    throw ConnectionLost(invalidShareText(path.root()) + "\nThe connection to the server " +
                         path.server + " was lost (" + std::strerror(error) + ").");
}

// An open file on the server. Reads and writes seek the handle and transfer under the library
// lock; a broken connection is mended once by opening the file again.
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
        closeHandle();
    }
    std::int64_t length() const override { return length_; }
    bool readOnly() const override { return (flags_ & O_ACCMODE) == O_RDONLY; }

  private:
    // Moves n bytes at offset in transfers no larger than the server takes, going on from where
    // it was after a reconnect. `step` moves one transfer and answers how many bytes it moved;
    // 0 is the end of the file for a read and a failure for a write.
    template <class Step>
    std::size_t transferAll(std::int64_t offset, std::size_t n, bool zeroIsFailure, Step step) {
        std::size_t done = 0;
        transfer([&](SMBCCTX* ctx) {
            while (done < n) {
                if (!seek(ctx, offset + static_cast<std::int64_t>(done))) return false;
                ssize_t moved = step(ctx, done, std::min(n - done, kLargestTransfer));
                if (moved < 0 || (moved == 0 && zeroIsFailure)) return false;
                if (moved == 0) break;
                done += static_cast<std::size_t>(moved);
            }
            return true;
        });
        return done;
    }

  protected:
    std::size_t doRead(std::int64_t offset, char* buf, std::size_t n) override {
        std::lock_guard guard(libraryLock());
        return transferAll(offset, n, false, [&](SMBCCTX* ctx, std::size_t done, std::size_t want) {
            return smbc_getFunctionRead(ctx)(ctx, handle_, buf + done, want);
        });
    }
    void doWrite(std::int64_t offset, const char* buf, std::size_t n) override {
        if (readOnly()) throw IoError("Permission denied");
        std::lock_guard guard(libraryLock());
        transferAll(offset, n, true, [&](SMBCCTX* ctx, std::size_t done, std::size_t want) {
            return smbc_getFunctionWrite(ctx)(ctx, handle_, buf + done, want);
        });
        length_ = std::max<std::int64_t>(length_, offset + static_cast<std::int64_t>(n));
    }

  private:
    bool seek(SMBCCTX* ctx, std::int64_t at) {
        return smbc_getFunctionLseek(ctx)(ctx, handle_, static_cast<off_t>(at), SEEK_SET) >= 0;
    }
    void closeHandle() {
        if (handle_) smbc_getFunctionClose(session_->ctx())(session_->ctx(), handle_);
        handle_ = nullptr;
    }
    // Runs `step` (which resumes where it stopped) and, when it fails, once more on a freshly
    // opened handle: a connection that broke since the last call is made again that way.
    template <typename Step>
    void transfer(Step step) {
        SMBCCTX* ctx = session_->ctx();
        for (int attempt = 0;; ++attempt) {
            errno = 0;
            if (handle_ && step(ctx)) return;
            int error = handle_ ? errno : ECONNABORTED;
            if (attempt > 0) {
                if (connectionFailure(error)) throwLost(path_, error);
                throw IoError(std::string("Device I/O error (") + std::strerror(error) + ")");
            }
            closeHandle();
            handle_ = smbc_getFunctionOpen(ctx)(ctx, path_.url.c_str(), flags_ & ~kCreating, 0);
            if (!handle_ && connectionFailure(errno)) throwLost(path_, errno);
            if (!handle_)
                throw IoError(std::string("Device I/O error (") + std::strerror(errno) + ")");
        }
    }

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
    : session_(std::make_shared<Session>(options)),
      port_(options.port),
      timeoutMs_(options.timeoutMs),
      askCredentials_(std::move(options.askCredentials)) {}

SmbFileSystem::~SmbFileSystem() = default;

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
    if (int error = connectError(target->server, port_, timeoutMs_)) {
        lastProblem_ = "The server " + target->server + " does not answer on port " +
                       std::to_string(port_) + " (" + std::strerror(error) + ").";
        return false;
    }
    for (int asked = 0;; ++asked) {
        std::unique_lock guard(libraryLock());
        struct stat info {};
        SMBCCTX* ctx = session_->ctx();
        if (smbc_getFunctionStat(ctx)(ctx, target->url.c_str(), &info) == 0)
            return S_ISDIR(info.st_mode);
        int error = errno;
        LogonRefusal refused = session_->refusal(target->server, target->share);
        if (connectionFailure(error)) {
            lastProblem_ = "The server " + target->server + " does not answer on port " +
                           std::to_string(port_) + " (" + std::strerror(error) + ").";
        } else if (accessRefused(error)) {
            lastProblem_ = "The server " + target->server + " refuses access to the share " +
                           target->share + " for " + refused.tried + ".";
        } else if (error == ENOENT && target->depth == 0) {
            lastProblem_ = "The server " + target->server + " has no share " + target->share + ".";
        }
        if (!accessRefused(error) || !askCredentials_ || asked >= 3) return false;
        guard.unlock();
        auto credentials = askCredentials_(refused);
        if (!credentials) return false;
        guard.lock();
        session_->use(std::move(*credentials));
    }
}

std::string SmbFileSystem::lastProblem() const {
    return lastProblem_;
}

bool SmbFileSystem::fileExists(const std::string& path) {
    auto target = sharePath(path);
    if (!target) return false;
    std::lock_guard guard(libraryLock());
    struct stat info {};
    SMBCCTX* ctx = session_->ctx();
    if (smbc_getFunctionStat(ctx)(ctx, target->url.c_str(), &info) == 0)
        return S_ISREG(info.st_mode);
    if (connectionFailure(errno)) throwLost(*target, errno);
    return false;
}

std::unique_ptr<File> SmbFileSystem::doOpen(const std::string& path, Access access) {
    auto target = sharePath(path);
    if (!target) return nullptr;
    std::lock_guard guard(libraryLock());
    SMBCCTX* ctx = session_->ctx();
    int flags = access == Access::Read ? O_RDONLY : O_RDWR;
    SMBCFILE* handle = smbc_getFunctionOpen(ctx)(ctx, target->url.c_str(), flags, 0);
    if (!handle && flags == O_RDWR && accessRefused(errno)) {
        flags = O_RDONLY;
        handle = smbc_getFunctionOpen(ctx)(ctx, target->url.c_str(), flags, 0);
    }
    if (!handle) {
        int error = errno;
        if (connectionFailure(error)) throwLost(*target, error);
        if (accessRefused(error)) throw AccessDenied("Permission denied");
        return nullptr;
    }
    struct stat info {};
    if (smbc_getFunctionFstat(ctx)(ctx, handle, &info) != 0 || !S_ISREG(info.st_mode)) {
        int error = errno;
        smbc_getFunctionClose(ctx)(ctx, handle);
        if (connectionFailure(error)) throwLost(*target, error);
        return nullptr;
    }
    return std::make_unique<SmbFile>(counters_, session_, *target, flags, handle,
                                     static_cast<std::int64_t>(info.st_size));
}

std::unique_ptr<File> SmbFileSystem::create(const std::string& path) {
    auto target = sharePath(path);
    if (!target || target->depth == 0) throw IoError("Bad file name: " + path);
    auto slash = path.find_last_of("\\/");
    for (int attempt = 0;; ++attempt) {
        std::unique_lock guard(libraryLock());
        SMBCCTX* ctx = session_->ctx();
        int flags = O_RDWR | O_CREAT | O_TRUNC;
        SMBCFILE* handle = smbc_getFunctionOpen(ctx)(ctx, target->url.c_str(), flags, 0666);
        if (handle)
            return std::make_unique<SmbFile>(counters_, session_, *target, flags, handle, 0);
        int error = errno;
        if (connectionFailure(error)) throwLost(*target, error);
        if (error != ENOENT || attempt > 0 || target->depth < 2)
            throw IoError("Could not create " + path + " (" + std::strerror(error) + ")");
        guard.unlock();
        makeDirectory(path.substr(0, slash));
    }
}

std::unique_ptr<File> SmbFileSystem::createNew(const std::string& path) {
    auto target = sharePath(path);
    if (!target || target->depth == 0) throw IoError("Bad file name: " + path);
    std::lock_guard guard(libraryLock());
    SMBCCTX* ctx = session_->ctx();
    // A server removes a link itself, not what it points to; what fails to go makes the
    // exclusive creation fail.
    if (smbc_getFunctionUnlink(ctx)(ctx, target->url.c_str()) != 0 && connectionFailure(errno))
        throwLost(*target, errno);
    const int flags = O_RDWR | O_CREAT | O_EXCL;
    SMBCFILE* handle = smbc_getFunctionOpen(ctx)(ctx, target->url.c_str(), flags, 0666);
    if (!handle) {
        int error = errno;
        if (connectionFailure(error)) throwLost(*target, error);
        throw IoError("Could not create " + path + " (" + std::strerror(error) + ")");
    }
    return std::make_unique<SmbFile>(counters_, session_, *target, flags, handle, 0);
}

void SmbFileSystem::rename(const std::string& from, const std::string& to) {
    auto source = sharePath(from), target = sharePath(to);
    if (!source || !target || source->depth == 0 || target->depth == 0)
        throw IoError("Bad file name: " + (source ? to : from));
    std::lock_guard guard(libraryLock());
    SMBCCTX* ctx = session_->ctx();
    if (smbc_getFunctionRename(ctx)(ctx, source->url.c_str(), ctx, target->url.c_str()) == 0)
        return;
    int error = errno;
    if (connectionFailure(error)) throwLost(*target, error);
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
        std::lock_guard guard(libraryLock());
        SMBCCTX* ctx = session_->ctx();
        if (smbc_getFunctionMkdir(ctx)(ctx, url(at)->c_str(), 0777) == 0 || errno == EEXIST)
            continue;
        throw IoError("Could not create folder " + path + " (" + std::strerror(errno) + ")");
    }
}

bool SmbFileSystem::remove(const std::string& path) {
    auto target = sharePath(path);
    if (!target || target->depth == 0) return false;
    std::lock_guard guard(libraryLock());
    SMBCCTX* ctx = session_->ctx();
    return smbc_getFunctionUnlink(ctx)(ctx, target->url.c_str()) == 0;
}

}  // namespace fennick::platform
