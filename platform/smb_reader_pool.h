#pragma once
// Reads from the file server with several requests really in flight. The SMB client library
// serves one call at a time in a process, so the reads go to a pool of reader processes (the
// program fennick-smb-reader, forked by one instance of it that the pool starts with
// posix_spawn, so it is safe beside Qt's threads, and loads the client library once), each
// with its own client context and connection and a socket pair to this process
// (smb_wire.h). A request goes to an idle reader, one that has its file open already where there
// is one, and the calling thread waits for the answer; as many threads as there are readers are
// served at once.
//
// Retries happen here and nowhere else: when a reader ends before it answers (killed, crashed)
// or answers that its connection broke (it then ends itself), it is replaced by a new reader,
// which connects afresh, and the request is made once more on that one. While such a second try
// finds out whether the server still answers, other requests wait for its outcome; when it
// fails too, every request that came before then fails with it at once.
//
// The pool measures the link as it goes: the round trip of small reads and the bytes per second
// of large ones, which say how many bytes are worth reading rather than waiting one more round
// trip. A slow link (a branch on a VPN) may widen the pool once: each small read there costs a
// whole round trip on its connection, so twice the readers answer a list of scattered records in
// about half the time. There, too, a router sends each direction's bytes first in, first out:
// megabytes of large reads on the way make every small read wait behind them, so the pool names
// a few round trips' worth of bytes, enough to keep the link busy, for reads that can give way
// (those beside an action) to keep on the way.

#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "smb_logon.h"
#include "smb_wire.h"

namespace fennick::platform {

// The reader program: in libexec/fennick beside the programs' bin folder (installed, and the
// build tree's programs), else beside the running program (the build tree's tests).
std::filesystem::path smbReaderProgram();

struct SmbReaderOptions {
    std::filesystem::path program;  // empty: smbReaderProgram()
    int readers = 8;
    // Readers once the first few small reads took kSlowRoundTrip or more; at most `readers` when
    // no larger.
    int slowLinkReaders = 0;
    std::uint16_t port = 445;
    int timeoutMs = 5000;
    SmbLogon logon;
};

class SmbReaderPool {
  public:
    // The answer's error when the reader and its replacement both ended without answering.
    static constexpr int kReaderEnded = -1;
    static constexpr double kSlowRoundTrip = 0.010;  // seconds
    // Small reads whose round trips decide, once, whether the link is slow. A log-on that waited
    // on the link as long as kLogOnRoundTrips slow round trips (a log-on is at least that many:
    // negotiation, session set-up, the share's checks) widens the pool at once, so that the
    // readers added log on while the program reads its settings; fewer reads then decide the
    // rest (the bytes on the way). The reader counts only its waits on the link, not its own
    // work or its turns at the processor, so that a loaded machine does not pass for a slow link.
    static constexpr int kReadsThatDecide = 3;
    static constexpr int kReadsThatDecideAfterSlowLogOn = 2;
    static constexpr int kLogOnRoundTrips = 12;
    // Round trips' worth of the link's bytes that large reads keep on the way on a slow link.
    static constexpr int kRoundTripsOnTheWay = 4;

    // Starts the readers' spawner, or takes the one forkSpawner made; no reader starts before
    // the first request. Throws IoError when the program is missing.
    explicit SmbReaderPool(SmbReaderOptions options);
    // Forks the readers' spawner from this program, which has the client library loaded
    // already: started as a program, the spawner would load it again before the first reader
    // could start. Only before any thread starts (at the start of main); the first pool takes it.
    static void forkSpawner();
    ~SmbReaderPool();
    SmbReaderPool(const SmbReaderPool&) = delete;
    SmbReaderPool& operator=(const SmbReaderPool&) = delete;

    smb_wire::Answer stat(const std::string& url);
    // Logs on to the share `url` is on and opens its root: no error when that answers that it
    // is a directory. After a warmUp of the same url, the first reader to connect answers.
    smb_wire::Answer connect(const std::string& url);
    // Opens the file on the reader that answers; the others open it when they first read it.
    smb_wire::Answer open(const std::string& url);
    // At most smb_wire::kLargestRead bytes.
    smb_wire::Answer read(const std::string& url, std::int64_t offset, std::size_t length);

    // Every later request logs on so; each reader takes it before its next request.
    void logOn(SmbLogon logon);
    // Starts every reader that is not running and has it connect to the share `url` is on, on a
    // thread of its own: nothing waits for the readers to start or for their answers. The first
    // opens the share's root; the next ones each open one of `opens` (files the program is about
    // to open) instead, so that the open asked for later takes that answer, a round trip sooner.
    void warmUp(const std::string& url, const std::vector<std::string>& opens = {});

    // Readers in use: `readers`, or `slowLinkReaders` once the link proved slow.
    int size() const { return inUse_.load(); }
    // Bytes of a gap worth reading through rather than waiting one more round trip: the round
    // trip times the bandwidth as measured so far (32 KB before anything was measured).
    std::int64_t gapWorthReading() const;
    // Bytes worth having on the way at once: on a slow link kRoundTripsOnTheWay round trips of
    // the link's bandwidth as measured, at least the largest read; elsewhere 0 (no limit).
    std::int64_t bytesWorthInFlight() const;
    // The readers' process ids, 0 for one not running or not in use (tests end one on purpose).
    std::vector<pid_t> readerIds() const;
    // The spawner's process id, 0 when it is not running.
    pid_t spawnerId() const { return spawner_.pid.load(); }

  private:
    struct Slot;
    smb_wire::Answer call(const std::string& url, const smb_wire::Writer& request, bool opens,
                          bool isRead);
    using Clock = std::chrono::steady_clock;
    // An idle reader for `request` (on `url`) that came at `entered`; none when the server was
    // found lost since.
    Slot* acquire(const std::string& url, std::string_view request, Clock::time_point entered);
    void release(Slot& slot, const std::string& url, bool opened);
    bool warmedUp(Slot& slot, smb_wire::Answer& answer, Clock::time_point firstTryEnds);
    bool tryAgain(Slot& slot, std::string_view request, smb_wire::Answer& answer, bool isRead,
                  Clock::time_point entered, bool waitedOut);
    bool lostSince(Clock::time_point entered) const;  // with mutex_ held
    smb_wire::Answer lostAnswer() const;
    static bool answerWaiting(const Slot& slot);
    bool start(Slot& slot);
    // A reader forked by the spawner (started now when it is not running), on `channel`.
    bool spawn(Slot& slot, int channel);
    // The program itself, run on `channel` (dup'ed onto smb_wire::kReaderSocket); `argument`:
    // its one argument, if any. Answers its process id, 0 when it did not start.
    pid_t run(int channel, const char* argument) const;
    void startSpawner();
    void stopSpawner();
    // Tells the reader to end (SIGKILL). stop forgets it (closing its socket, which ends an idle
    // reader), after killing it unless not `kill`, and after waiting for it when it is this
    // process's child.
    static void tellToEnd(const Slot& slot);
    void stop(Slot& slot, bool kill = true);
    bool exchange(Slot& slot, std::string_view request, smb_wire::Answer& answer, bool isRead,
                  int waitMs);
    void sendLogOn(Slot& slot);
    void measure(std::size_t bytes, double seconds, int together);
    bool linkProvedSlow() const;
    void widenOnSlowLink(const std::string& url);
    void widen(const std::string& url);
    void noteLogOn(Clock::duration waited, const std::string& url);
    int readsThatDecide() const;
    void startIdle(const std::string& url, const std::vector<std::string>& opens,
                   const std::vector<Slot*>& idle);
    std::span<const std::unique_ptr<Slot>> slotsInUse() const {
        return {slots_.data(), static_cast<std::size_t>(inUse_.load())};
    }

    SmbReaderOptions options_;
    // Every reader there may be; the first size() are in use.
    std::vector<std::unique_ptr<Slot>> slots_;
    std::atomic<int> inUse_{0};
    std::atomic<int> smallReadsMeasured_{0};
    std::atomic<bool> linkJudged_{false};  // by its first small reads
    std::atomic<bool> logOnWasSlow_{false};
    mutable std::mutex mutex_;
    std::condition_variable idle_;
    int logOnGeneration_ = 0;
    // A second try after a first that waited out the time limit is finding out whether the
    // server still answers; new requests wait for it.
    bool probing_ = false;
    // When a second try last failed too, and how: requests that came before then end so at once.
    Clock::time_point lostAt_ = Clock::time_point::min();
    std::atomic<int> lostError_{kReaderEnded};
    std::atomic<double> roundTrip_{0};           // seconds; 0: not measured yet
    std::atomic<double> bytesPerSecond_{0};      // each connection's share; 0: not measured yet
    std::atomic<double> linkBytesPerSecond_{0};  // all connections together; 0: not measured yet
    std::atomic<int> exchanging_{0};             // requests on the way to the server now
    std::mutex warmerMutex_;
    std::thread warmer_;  // starting readers for warmUp
    struct Spawner {
        std::atomic<pid_t> pid{0};
        int socket = -1;
        std::mutex mutex;  // one reader asked for at a time
    } spawner_;
    // The spawner forkSpawner made, until a pool takes it.
    static Spawner& forkedSpawner();
};

}  // namespace fennick::platform
