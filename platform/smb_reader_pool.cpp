#include "smb_reader_pool.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <tuple>
#include <utility>

#include "file_system.h"
#include "smb_reader_process.h"

extern char** environ;

namespace fennick::platform {

namespace wire = smb_wire;

namespace {

constexpr const char* kReaderName = "fennick-smb-reader";
// Reads at most this large tell the round trip; reads at least this large the bandwidth.
constexpr std::size_t kSmallRead = 16 * 1024;
constexpr std::size_t kLargeRead = 64 * 1024;
constexpr std::int64_t kUnmeasuredGap = 32 * 1024;
constexpr std::int64_t kSmallestGap = 4 * 1024;

int msUntil(std::chrono::steady_clock::time_point end) {
    auto left = std::chrono::ceil<std::chrono::milliseconds>(end - std::chrono::steady_clock::now())
                    .count();
    return static_cast<int>(std::max<decltype(left)>(left, 0));
}

bool executable(const std::filesystem::path& path) {
    return ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::filesystem::path smbReaderProgram() {
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    std::filesystem::path folder = self.parent_path();
    std::filesystem::path installed =
        (folder / FENNICK_READER_FROM_BIN / kReaderName).lexically_normal();
    if (executable(installed)) return installed;
    std::filesystem::path beside = folder / kReaderName;
    return executable(beside) ? beside : installed;
}

struct SmbReaderPool::Slot {
    std::atomic<pid_t> pid{0};
    int watch = -1;  // a pidfd of a reader the spawner forked (not this process's child)
    int socket = -1;
    bool busy = false;
    std::atomic<bool> warming{false};  // the answer to a warm-up request is still to come
    std::string warmUpRequest;
    // It has answered since it started: its next answer's time is the link's, not a logon's.
    bool connected = false;
    int logOnGeneration = -1;
    std::vector<std::string> files;  // the files it has open, as far as the pool knows
};

SmbReaderPool::SmbReaderPool(SmbReaderOptions options) : options_(std::move(options)) {
    if (options_.program.empty()) options_.program = smbReaderProgram();
    if (!executable(options_.program))
        throw IoError("The SMB reader program " + options_.program.string() +
                      " is missing; install Fennick again.");
    inUse_ = std::max(options_.readers, 1);
    for (int i = 0; i < std::max(inUse_.load(), options_.slowLinkReaders); ++i)
        slots_.push_back(std::make_unique<Slot>());
    // It loads while the program gets ready, so that the first readers start at once.
    std::lock_guard lock(spawner_.mutex);
    startSpawner();
}

SmbReaderPool::~SmbReaderPool() {
    {
        std::lock_guard lock(warmerMutex_);
        if (warmer_.joinable()) warmer_.join();
    }
    // A forked reader that is not in the middle of a request ends by itself once its socket
    // closes, and lets this program end first; any other is killed. All are told before any
    // is waited for: each takes a few milliseconds to go.
    auto endsByItself = [](const Slot& slot) { return slot.watch >= 0 && !slot.warming; };
    for (auto& slot : slots_)
        if (!endsByItself(*slot)) tellToEnd(*slot);
    for (auto& slot : slots_)
        stop(*slot, false);
    std::lock_guard lock(spawner_.mutex);
    stopSpawner();
}

wire::Answer SmbReaderPool::stat(const std::string& url) {
    wire::Writer request(wire::Request::Stat);
    request.putText(url);
    return call(url, request, false, false);
}

wire::Answer SmbReaderPool::connect(const std::string& url) {
    wire::Writer request(wire::Request::Connect);
    request.putText(url);
    wire::Answer answer = call(url, request, false, false);
    if (answer.error == 0) noteLogOn(std::chrono::microseconds(answer.size), url);
    return answer;
}

wire::Answer SmbReaderPool::open(const std::string& url) {
    wire::Writer request(wire::Request::Open);
    request.putText(url);
    return call(url, request, true, false);
}

wire::Answer SmbReaderPool::read(const std::string& url, std::int64_t offset, std::size_t length) {
    wire::Writer request(wire::Request::Read);
    request.putText(url).put64(static_cast<std::uint64_t>(offset));
    request.put32(static_cast<std::uint32_t>(std::min(length, wire::kLargestRead)));
    return call(url, request, true, true);
}

// A request has two tries: the second on a new reader with a new connection, when the first
// reader ended or its connection broke. A server that falls silent fails every request in flight
// within one time limit; the first of them to try again finds out whether the server still
// answers, while the others wait for that outcome rather than each spending a time limit more.
// Connections that merely broke (a server restarted, a VPN reconnected) are replaced in parallel.
wire::Answer SmbReaderPool::call(const std::string& url, const wire::Writer& request, bool opens,
                                 bool isRead) {
    const auto entered = Clock::now();
    Slot* slot = acquire(url, request.bytes(), entered);
    if (!slot) return lostAnswer();
    // The client library gives up on each of its requests after the time limit, but one call
    // here may be several of them in turn (a reader logging on, a file being opened), so a server
    // that falls silent halfway through could hold a try for several limits. The first try gets
    // one.
    const auto firstTryEnds = Clock::now() + std::chrono::milliseconds(options_.timeoutMs);
    wire::Answer answer;
    // A warm-up that made this very request has answered it.
    const bool madeInWarmUp = slot->warming && slot->warmUpRequest == request.bytes();
    bool answered =
        warmedUp(*slot, answer, firstTryEnds) &&
        (madeInWarmUp || exchange(*slot, request.bytes(), answer, isRead, msUntil(firstTryEnds)));
    auto failed = [&] { return !answered || connectionFailure(answer.error); };
    if (failed()) {
        // A reader that ended or a connection that broke says nothing of the server; a first try
        // (or the warm-up it took over) that waited out the time limit says it may be silent.
        const bool waitedOut = answer.error == ETIMEDOUT || Clock::now() >= firstTryEnds;
        stop(*slot);
        answered = tryAgain(*slot, request.bytes(), answer, isRead, entered, waitedOut);
    }
    if (!answered) answer = wire::Answer{kReaderEnded, wire::Kind::Missing, 0, {}};
    if (failed()) stop(*slot);
    release(*slot, url, answer.error == 0 && opens);
    if (isRead) widenOnSlowLink(url);
    return answer;
}

bool SmbReaderPool::tryAgain(Slot& slot, std::string_view request, wire::Answer& answer,
                             bool isRead, Clock::time_point entered, bool waitedOut) {
    bool probe;
    {
        std::unique_lock lock(mutex_);
        probe = waitedOut && !probing_;
        if (waitedOut) idle_.wait(lock, [&] { return !probing_ || lostSince(entered); });
        if (lostSince(entered)) {
            answer = lostAnswer();
            return true;
        }
        probing_ = probe;
    }
    // The client library gives up on a request after its time limit; waiting longer only guards
    // against a reader that hangs.
    const int hungReaderMs = std::max(30000, 8 * options_.timeoutMs);
    bool answered = start(slot) && exchange(slot, request, answer, isRead, hungReaderMs);
    {
        std::lock_guard lock(mutex_);
        if (probe) probing_ = false;
        if (!answered || connectionFailure(answer.error)) {
            lostAt_ = Clock::now();
            lostError_ = answered ? answer.error : kReaderEnded;
        }
    }
    idle_.notify_all();
    return answered;
}

bool SmbReaderPool::lostSince(Clock::time_point entered) const {
    return lostAt_ >= entered;
}

wire::Answer SmbReaderPool::lostAnswer() const {
    return wire::Answer{lostError_.load(), wire::Kind::Missing, 0, {}};
}

SmbReaderPool::Slot* SmbReaderPool::acquire(const std::string& url, std::string_view request,
                                            Clock::time_point entered) {
    std::unique_lock lock(mutex_);
    Slot* chosen = nullptr;
    // A reader whose warm-up makes this very request, else an idle one with the file open, else
    // one connected. While readers are still connecting (several round trips) and a connected
    // one is busy (one), the request waits for whichever is free first; else it goes to a
    // connecting reader, else to one it starts.
    enum Rank { Unstarted, Connecting, Connected, HasFile, MakingIt };
    auto rank = [&](const Slot& slot) {
        if (slot.pid == 0) return Unstarted;
        if (slot.warming && slot.warmUpRequest == request) return MakingIt;
        if (slot.warming && !answerWaiting(slot)) return Connecting;
        bool hasFile = std::find(slot.files.begin(), slot.files.end(), url) != slot.files.end();
        return hasFile ? HasFile : Connected;
    };
    for (;;) {
        if (lostSince(entered)) return nullptr;
        chosen = nullptr;
        int best = -1;
        bool connectedBusy = false, connecting = false;
        for (const auto& slot : slotsInUse()) {
            if (slot->busy) {
                connectedBusy = connectedBusy || (slot->pid != 0 && !slot->warming);
                connecting = connecting || slot->warming;
                continue;
            }
            Rank r = rank(*slot);
            connecting = connecting || r == Connecting;
            if (r > best) std::tie(chosen, best) = std::tuple(slot.get(), r);
        }
        if (chosen && !probing_ && (best >= Connected || !(connectedBusy && connecting))) break;
        // A connecting reader says nothing when it is ready: look again shortly.
        idle_.wait_for(lock, std::chrono::milliseconds(5));
    }
    chosen->busy = true;
    bool relog = chosen->logOnGeneration != logOnGeneration_;
    lock.unlock();
    if (chosen->pid == 0)
        start(*chosen);
    else if (relog)
        sendLogOn(*chosen);
    return chosen;
}

// Takes the answer to a warm-up request, if one is to come. A reader that failed to connect, or
// had not by the end of the first try, has had the request's first try.
bool SmbReaderPool::warmedUp(Slot& slot, wire::Answer& answer, Clock::time_point firstTryEnds) {
    if (!slot.warming) return true;
    slot.warming = false;
    std::string message;
    if (!wire::receive(slot.socket, message, msUntil(firstTryEnds)) ||
        !wire::decodeAnswer(message, answer))
        return false;
    slot.connected = !connectionFailure(answer.error);
    return slot.connected;
}

void SmbReaderPool::release(Slot& slot, const std::string& url, bool opened) {
    {
        std::lock_guard lock(mutex_);
        if (opened && std::find(slot.files.begin(), slot.files.end(), url) == slot.files.end())
            slot.files.push_back(url);
        slot.busy = false;
    }
    idle_.notify_all();
}

bool SmbReaderPool::answerWaiting(const Slot& slot) {
    pollfd ready{slot.socket, POLLIN, 0};
    return slot.socket >= 0 && ::poll(&ready, 1, 0) == 1;
}

bool SmbReaderPool::start(Slot& slot) {
    // Forked by the spawner, else started as a program of its own. The spawner is asked twice:
    // one killed a moment ago may still take the request and then fail, and is replaced.
    for (bool forked : {true, true, false}) {
        int pair[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) return false;
        bool started = forked ? spawn(slot, pair[1]) : (slot.pid = run(pair[1], nullptr)) != 0;
        ::close(pair[1]);
        if (!started) {
            ::close(pair[0]);
            continue;
        }
        slot.socket = pair[0];
        sendLogOn(slot);
        return true;
    }
    return false;
}

bool SmbReaderPool::spawn(Slot& slot, int channel) {
    const int waitMs = std::max(5000, options_.timeoutMs);
    std::lock_guard lock(spawner_.mutex);
    if (spawner_.pid == 0) startSpawner();
    // A spawner that fails here is ended. It may have forked a reader on the channel before it
    // failed, so the caller closes the channel and asks the next spawner with a new one.
    std::uint32_t pid = 0;
    int watch = -1;
    if (spawner_.pid == 0 || !wire::sendNumber(spawner_.socket, 0, channel) ||
        !wire::receiveNumber(spawner_.socket, pid, watch, waitMs)) {
        stopSpawner();
        return false;
    }
    if (pid == 0 || watch < 0) {
        if (watch >= 0) ::close(watch);
        return false;
    }
    slot.pid = static_cast<pid_t>(pid);
    slot.watch = watch;
    return true;
}

pid_t SmbReaderPool::run(int channel, const char* argument) const {
    int child = channel;
    if (child == wire::kReaderSocket) {
        // dup2 onto itself would keep close-on-exec.
        child = ::fcntl(channel, F_DUPFD_CLOEXEC, wire::kReaderSocket + 1);
        if (child < 0) return 0;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, child, wire::kReaderSocket);
    // Standard output belongs to the program (the CLI's answers); a reader never writes there.
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    std::string program = options_.program.string(), given = argument ? argument : "";
    char* argv[] = {program.data(), argument ? given.data() : nullptr, nullptr};
    pid_t pid = 0;
    int failed = ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (child != channel) ::close(child);
    return failed == 0 ? pid : 0;
}

void SmbReaderPool::forkSpawner() {
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) return;
    pid_t pid = ::fork();
    if (pid == 0) {
        // Set up as the spawner program is: its socket, standard output elsewhere (it belongs to
        // the program), nothing else the program had open, not even the program's end (which
        // takes a standard descriptor's number when that one was closed).
        if (pair[0] != wire::kReaderSocket) ::close(pair[0]);
        ::dup2(pair[1], wire::kReaderSocket);
        int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (nowhere >= 0) ::dup2(nowhere, STDOUT_FILENO);
        settleOnReaderSocket();
        spawnReaders();
        ::_exit(0);
    }
    ::close(pair[1]);
    Spawner& forked = forkedSpawner();
    std::lock_guard lock(forked.mutex);
    if (pid < 0 || forked.pid != 0) {
        ::close(pair[0]);
        if (pid > 0) ::kill(pid, SIGKILL);
        return;
    }
    forked.pid = pid;
    forked.socket = pair[0];
}

SmbReaderPool::Spawner& SmbReaderPool::forkedSpawner() {
    static Spawner forked;
    return forked;
}

void SmbReaderPool::startSpawner() {
    {
        Spawner& forked = forkedSpawner();
        std::lock_guard lock(forked.mutex);
        if (forked.pid != 0) {
            spawner_.socket = std::exchange(forked.socket, -1);
            spawner_.pid = forked.pid.exchange(0);
            return;
        }
    }
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) return;
    pid_t pid = run(pair[1], "--spawn");
    ::close(pair[1]);
    if (pid == 0) {
        ::close(pair[0]);
        return;
    }
    spawner_.socket = pair[0];
    spawner_.pid = pid;
}

void SmbReaderPool::stopSpawner() {
    if (spawner_.socket >= 0) ::close(spawner_.socket);
    spawner_.socket = -1;
    pid_t pid = spawner_.pid.exchange(0);
    if (pid > 0) {
        ::kill(pid, SIGKILL);
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
}

void SmbReaderPool::tellToEnd(const Slot& slot) {
    if (slot.watch >= 0)
        ::syscall(SYS_pidfd_send_signal, slot.watch, SIGKILL, nullptr, 0);
    else if (pid_t pid = slot.pid; pid > 0)
        ::kill(pid, SIGKILL);
}

void SmbReaderPool::stop(Slot& slot, bool kill) {
    if (slot.socket >= 0) ::close(slot.socket);
    slot.socket = -1;
    slot.warming = false;
    if (kill) tellToEnd(slot);
    pid_t pid = slot.pid.exchange(0);
    if (slot.watch >= 0) {
        // Reaped by the system (it is the spawner's child): nothing is left to wait for, and its
        // end takes the time of its own exit off ours.
        ::close(slot.watch);
        slot.watch = -1;
    } else if (pid > 0) {
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    std::lock_guard lock(mutex_);
    slot.files.clear();
}

void SmbReaderPool::sendLogOn(Slot& slot) {
    SmbLogon logon;
    {
        std::lock_guard lock(mutex_);
        logon = options_.logon;
        slot.logOnGeneration = logOnGeneration_;
        slot.files.clear();
    }
    slot.connected = false;  // it logs on afresh at its next request
    wire::Writer message(wire::Request::LogOn);
    message.secret()
        .put32(options_.port)
        .put32(static_cast<std::uint32_t>(options_.timeoutMs))
        .put8(logon.kerberos ? 1 : 0)
        .putText(logon.ticketCache)
        .put8(logon.credentials ? 1 : 0);
    const SmbCredentials none;
    const SmbCredentials& c = logon.credentials ? *logon.credentials : none;
    message.putText(c.username).putText(c.domain).putText(c.password());
    wire::send(slot.socket, message.bytes());
}

bool SmbReaderPool::exchange(Slot& slot, std::string_view request, wire::Answer& answer,
                             bool isRead, int waitMs) {
    if (slot.socket < 0) return false;
    auto started = Clock::now();
    std::string message;
    ++exchanging_;
    bool answered = wire::send(slot.socket, request) &&
                    wire::receive(slot.socket, message, waitMs) &&
                    wire::decodeAnswer(message, answer);
    const int together = exchanging_--;
    if (!answered) return false;
    if (isRead && answer.error == 0 && slot.connected)
        measure(answer.bytes.size(), std::chrono::duration<double>(Clock::now() - started).count(),
                together);
    slot.connected = !connectionFailure(answer.error);
    return true;
}

void SmbReaderPool::measure(std::size_t bytes, double seconds, int together) {
    double roundTrip = roundTrip_.load();
    if (bytes <= kSmallRead) {
        ++smallReadsMeasured_;
        // The round trip follows the quickest answers; it rises slowly when the link slows.
        roundTrip_ = roundTrip == 0 || seconds < roundTrip ? seconds
                                                           : roundTrip + (seconds - roundTrip) / 16;
    } else if (bytes >= kLargeRead && roundTrip > 0) {
        // The transfer's share of the time, at least half of it: a read that came back about as
        // fast as a round trip says little about the bandwidth, and must not make it endless.
        // Reads in flight together share the link, so this is each connection's share of it.
        double rate = static_cast<double>(bytes) / std::max(seconds - roundTrip, seconds / 2);
        double known = bytesPerSecond_.load();
        bytesPerSecond_ = known == 0 ? rate : known + (rate - known) / 4;
        double link = rate * together, knownLink = linkBytesPerSecond_.load();
        linkBytesPerSecond_ = knownLink == 0 ? link : knownLink + (link - knownLink) / 4;
    }
}

std::int64_t SmbReaderPool::gapWorthReading() const {
    double roundTrip = roundTrip_.load(), rate = bytesPerSecond_.load();
    if (roundTrip == 0 || rate == 0) return kUnmeasuredGap;
    return std::clamp(static_cast<std::int64_t>(roundTrip * rate), kSmallestGap,
                      static_cast<std::int64_t>(wire::kLargestRead));
}

std::int64_t SmbReaderPool::bytesWorthInFlight() const {
    if (!linkProvedSlow()) return 0;
    double onTheWay = kRoundTripsOnTheWay * roundTrip_.load() * linkBytesPerSecond_.load();
    return std::max(static_cast<std::int64_t>(wire::kLargestRead),
                    static_cast<std::int64_t>(onTheWay));
}

int SmbReaderPool::readsThatDecide() const {
    return logOnWasSlow_ ? kReadsThatDecideAfterSlowLogOn : kReadsThatDecide;
}

bool SmbReaderPool::linkProvedSlow() const {
    return smallReadsMeasured_ >= readsThatDecide() && roundTrip_ >= kSlowRoundTrip;
}

void SmbReaderPool::logOn(SmbLogon logon) {
    std::lock_guard lock(mutex_);
    options_.logon = std::move(logon);
    ++logOnGeneration_;
}

void SmbReaderPool::widenOnSlowLink(const std::string& url) {
    if (smallReadsMeasured_ < readsThatDecide() || linkJudged_.exchange(true)) return;
    if (linkProvedSlow()) widen(url);
}

void SmbReaderPool::widen(const std::string& url) {
    int narrow = inUse_;
    if (options_.slowLinkReaders <= narrow ||
        !inUse_.compare_exchange_strong(narrow, options_.slowLinkReaders))
        return;
    warmUp(url);
}

void SmbReaderPool::noteLogOn(Clock::duration waited, const std::string& url) {
    if (std::chrono::duration<double>(waited).count() < kLogOnRoundTrips * kSlowRoundTrip) return;
    logOnWasSlow_ = true;
    widen(url);
}

void SmbReaderPool::warmUp(const std::string& url, const std::vector<std::string>& opens) {
    // The readers to start are taken now, so that a request meanwhile waits for them as for
    // readers connecting rather than starting one of them itself.
    std::vector<Slot*> idle;
    {
        std::lock_guard lock(mutex_);
        for (const auto& slot : slotsInUse())
            if (!slot->busy && slot->pid == 0) {
                slot->busy = true;
                slot->warming = true;
                idle.push_back(slot.get());
            }
    }
    if (idle.empty()) return;
    std::lock_guard lock(warmerMutex_);
    if (warmer_.joinable()) warmer_.join();
    warmer_ = std::thread([this, url, opens, idle] { startIdle(url, opens, idle); });
}

void SmbReaderPool::startIdle(const std::string& url, const std::vector<std::string>& opens,
                              const std::vector<Slot*>& idle) {
    for (std::size_t i = 0; i < idle.size(); ++i) {
        Slot* slot = idle[i];
        // Made as connect and open make theirs, so that theirs find it.
        const bool opensFile = i >= 1 && i <= opens.size();
        wire::Writer request(opensFile ? wire::Request::Open : wire::Request::Connect);
        request.putText(opensFile ? opens[i - 1] : url);
        slot->warmUpRequest = request.bytes();
        slot->warming = start(*slot) && wire::send(slot->socket, request.bytes());
        {
            std::lock_guard lock(mutex_);
            slot->busy = false;
        }
        idle_.notify_all();
    }
}

std::vector<pid_t> SmbReaderPool::readerIds() const {
    std::vector<pid_t> ids;
    for (const auto& slot : slots_)
        ids.push_back(slot->pid);
    return ids;
}

}  // namespace fennick::platform
