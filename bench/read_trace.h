#pragma once
// A share that records every call that crosses to the server (check, open, read) with its file,
// its bytes and when it started and ended, so that a benchmark can say where an action's round
// trips go: how many calls, in how many rounds (stretches of time with a call outstanding, calls
// that overlap counting as one), on which files.

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace fennick::bench {

struct TracedCall {
    char kind;  // 's' check, 'o' open, 'r' read
    std::string file;
    std::int64_t offset = 0, length = 0;
    double start = 0, end = 0;  // seconds since the trace began
};

class ReadTrace {
  public:
    void add(TracedCall call);
    std::vector<TracedCall> take();
    double now() const;

  private:
    std::mutex mutex_;
    std::vector<TracedCall> calls_;
    std::chrono::steady_clock::time_point began_ = std::chrono::steady_clock::now();
};

// Wraps `inner`, recording into `trace` (which must outlive the share).
std::unique_ptr<platform::FileSystem> tracedShare(std::unique_ptr<platform::FileSystem> inner,
                                                  ReadTrace& trace);

// A few lines on the calls: counts by kind, bytes, rounds, and the calls of each round with
// their files (at most `roundsShown` rounds).
std::string summary(const std::vector<TracedCall>& calls, int roundsShown);

}  // namespace fennick::bench
