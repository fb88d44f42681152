#include "smb_reader_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <list>
#include <memory>
#include <string>
#include <string_view>

#include "smb_context.h"
#include "smb_wire.h"

namespace fennick::platform {

namespace {

namespace wire = smb_wire;

constexpr std::size_t kOpenFiles = 64;

// The time this process has run and waited for its turn to run, as the scheduler counts it; the
// rest of a call's time it waited on the link. Zero where the system does not count it.
std::chrono::nanoseconds ownTime() {
    std::ifstream counts("/proc/thread-self/schedstat");
    long long ran = 0, queued = 0;
    if (!(counts >> ran >> queued)) return {};
    return std::chrono::nanoseconds(ran + queued);
}

int lastError() {
    return errno != 0 ? errno : EIO;
}

class ReaderProcess {
  public:
    // Serves requests until the program closes its end or the connection breaks.
    void run() {
        std::string message;
        while (wire::receive(wire::kReaderSocket, message)) {
            wire::Reader in(message);
            auto request = static_cast<wire::Request>(in.get8());
            if (request == wire::Request::LogOn) {
                logOn(in);
                // The password is kept by the credentials alone.
                std::fill(message.begin(), message.end(), '\0');
                continue;
            }
            wire::Answer answer = serve(request, in);
            if (!wire::send(wire::kReaderSocket, wire::encodeAnswer(answer))) return;
            if (connectionFailure(answer.error)) return;
        }
    }

  private:
    void logOn(wire::Reader& in) {
        closeAll();
        context_.reset();
        auto port = static_cast<std::uint16_t>(in.get32());
        auto timeoutMs = static_cast<int>(in.get32());
        SmbLogon logon;
        logon.kerberos = in.get8() != 0;
        logon.ticketCache = in.getText();
        bool credentials = in.get8() != 0;
        std::string user(in.getText()), domain(in.getText());
        std::string_view password = in.getText();
        if (!in.ok()) std::exit(2);
        if (credentials) logon.credentials = SmbCredentials(user, domain, password);
        if (!logon.ticketCache.empty()) ::setenv("KRB5CCNAME", logon.ticketCache.c_str(), 1);
        try {
            timeoutMs_ = timeoutMs;
            context_ = std::make_unique<SmbContext>(std::move(logon), port, timeoutMs);
            // A broken connection ends the reader, and the program asks again on a new one.
            context_->trustRecentConnections();
        } catch (const std::exception&) {
            // Every request is answered with the failure.
        }
    }

    wire::Answer serve(wire::Request request, wire::Reader& in) {
        std::string url(in.getText());
        wire::Answer answer;
        if (!in.ok()) std::exit(2);
        if (!context_) {
            answer.error = EINVAL;
            return answer;
        }
        errno = 0;
        const auto started = std::chrono::steady_clock::now();
        switch (request) {
            case wire::Request::Stat:
                stat(url, answer);
                break;
            case wire::Request::Connect: {
                const auto ownBefore = ownTime();
                connect(url, answer);
                const auto own = ownTime() - ownBefore;
                const auto waited = std::chrono::steady_clock::now() - started - own;
                answer.size = std::chrono::duration_cast<std::chrono::microseconds>(waited).count();
                break;
            }
            case wire::Request::Open:
                if (SMBCFILE* file = handle(url, answer)) size(file, answer);
                break;
            case wire::Request::Read: {
                auto offset = static_cast<std::int64_t>(in.get64());
                std::size_t length = in.get32();
                if (!in.ok() || offset < 0 || length > wire::kLargestRead)
                    answer.error = EINVAL;
                else if (SMBCFILE* file = handle(url, answer))
                    read(file, offset, length, answer);
                break;
            }
            default:
                std::exit(2);
        }
        const auto took = std::chrono::steady_clock::now() - started;
        // The client library reports a server that stopped answering under several errors
        // (an open that timed out fails with EINVAL): a call that failed only after the whole
        // time limit is a time-out, so that the pool treats the connection as lost.
        if (answer.error != 0 && !connectionFailure(answer.error) &&
            took >= std::chrono::milliseconds(timeoutMs_))
            answer.error = ETIMEDOUT;
        // A file whose read failed is opened afresh next time; after a broken connection the
        // reader ends instead, as closing the file would wait out the time-out once more.
        if (request == wire::Request::Read && answer.error != 0 && !connectionFailure(answer.error))
            forget(url);
        return answer;
    }

    void stat(const std::string& url, wire::Answer& answer) {
        SMBCCTX* ctx = context_->get();
        struct stat info {};
        if (smbc_getFunctionStat(ctx)(ctx, url.c_str(), &info) != 0) {
            answer.error = lastError();
            return;
        }
        answer.kind = S_ISREG(info.st_mode)   ? wire::Kind::File
                      : S_ISDIR(info.st_mode) ? wire::Kind::Directory
                                              : wire::Kind::Other;
        answer.size = static_cast<std::int64_t>(info.st_size);
    }

    // Logs on when not yet logged on, by opening the share's root: after the log-on that takes
    // one request (which answers that the root is a directory), where asking for the root's
    // attributes takes three.
    void connect(const std::string& url, wire::Answer& answer) {
        SMBCCTX* ctx = context_->get();
        std::string root(wire::shareRoot(url));
        if (SMBCFILE* opened = smbc_getFunctionOpen(ctx)(ctx, root.c_str(), O_RDONLY, 0))
            smbc_getFunctionClose(ctx)(ctx, opened);
        else if (errno != EISDIR)
            answer.error = lastError();
    }

    void size(SMBCFILE* file, wire::Answer& answer) {
        SMBCCTX* ctx = context_->get();
        struct stat info {};
        if (smbc_getFunctionFstat(ctx)(ctx, file, &info) != 0) {
            answer.error = lastError();
        } else if (!S_ISREG(info.st_mode)) {
            answer.error = EISDIR;
        } else {
            answer.kind = wire::Kind::File;
            answer.size = static_cast<std::int64_t>(info.st_size);
        }
    }

    void read(SMBCFILE* file, std::int64_t offset, std::size_t length, wire::Answer& answer) {
        SMBCCTX* ctx = context_->get();
        answer.bytes.resize(length);
        std::size_t done = 0;
        while (done < length) {
            if (smbc_getFunctionLseek(ctx)(ctx, file, static_cast<off_t>(offset + done), SEEK_SET) <
                0) {
                break;
            }
            ssize_t got =
                smbc_getFunctionRead(ctx)(ctx, file, answer.bytes.data() + done, length - done);
            if (got < 0) break;
            if (got == 0) {
                answer.bytes.resize(done);
                return;
            }
            done += static_cast<std::size_t>(got);
        }
        if (done == length) return;
        answer.error = lastError();
        answer.bytes.clear();
    }

    // The file kept open for `url`, opened now when it is not; the most recently used are kept.
    SMBCFILE* handle(const std::string& url, wire::Answer& answer) {
        auto found = std::find_if(open_.begin(), open_.end(),
                                  [&](const auto& entry) { return entry.first == url; });
        if (found != open_.end()) {
            open_.splice(open_.begin(), open_, found);
            return open_.front().second;
        }
        SMBCCTX* ctx = context_->get();
        SMBCFILE* file = smbc_getFunctionOpen(ctx)(ctx, url.c_str(), O_RDONLY, 0);
        if (!file) {
            answer.error = lastError();
            return nullptr;
        }
        open_.emplace_front(url, file);
        while (open_.size() > kOpenFiles) {
            smbc_getFunctionClose(ctx)(ctx, open_.back().second);
            open_.pop_back();
        }
        return file;
    }

    void forget(const std::string& url) {
        SMBCCTX* ctx = context_->get();
        open_.remove_if([&](const auto& entry) {
            if (entry.first != url) return false;
            smbc_getFunctionClose(ctx)(ctx, entry.second);
            return true;
        });
    }

    void closeAll() {
        if (!context_) return;
        SMBCCTX* ctx = context_->get();
        for (const auto& entry : open_)
            smbc_getFunctionClose(ctx)(ctx, entry.second);
        open_.clear();
    }

    std::unique_ptr<SmbContext> context_;
    int timeoutMs_ = 0;
    std::list<std::pair<std::string, SMBCFILE*>> open_;
};

// Ends a reader whose program closed its end (or whose connection broke) at the lowest
// priority, so that its exit does not hold up the program's own. The connection is not taken
// down politely: after a failure that could wait a time-out per file, and the server lets go of
// everything when the socket closes.
[[noreturn]] void endReader() {
    ::setpriority(PRIO_PROCESS, 0, 19);
    ::_exit(0);
}

}  // namespace

void settleOnReaderSocket() {
    ::close_range(wire::kReaderSocket + 1, ~0U, 0);
    ::signal(SIGPIPE, SIG_IGN);
}

void spawnReaders() {
    // The readers are reaped by the system; the program watches them through their pidfds.
    ::signal(SIGCHLD, SIG_IGN);
    std::uint32_t unused = 0;
    int channel = -1;
    while (wire::receiveNumber(wire::kReaderSocket, unused, channel)) {
        if (channel < 0) continue;
        pid_t pid = ::fork();
        if (pid == 0) {
            ::signal(SIGCHLD, SIG_DFL);
            // In place of the spawner's socket: the reader has its own and nothing else.
            ::dup2(channel, wire::kReaderSocket);
            ::close(channel);
            serveReads();
        }
        ::close(channel);
        int watch = pid > 0 ? static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)) : -1;
        if (watch < 0 && pid > 0) ::kill(pid, SIGKILL);  // a reader the program cannot watch
        bool told = wire::sendNumber(wire::kReaderSocket,
                                     watch >= 0 ? static_cast<std::uint32_t>(pid) : 0, watch);
        if (watch >= 0) ::close(watch);
        if (!told) return;
    }
}

void serveReads() {
    static ReaderProcess reader;
    reader.run();
    endReader();
}

}  // namespace fennick::platform
