#pragma once
// Progress and cancellation of one long piece of work (building the tree, listing a model).
// The work tells where it stands through step(), on whatever thread it runs; any thread may
// cancel() at any time, and the work stops at its next step, or at its next checkpoint() deep
// inside a walk.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

namespace fennick::core {

// Thrown by WorkProgress::checkpoint() once the work is cancelled: it unwinds a walk deep in the
// reads up to the work's top, which answers "cancelled". It is no std::exception, so that the
// handlers that pass over a damaged record let it through.
struct WorkCancelled {};

struct ProgressStep {
    std::string text;        // what is being read: a line's name, a unit's number
    std::int64_t done = 0;   // items finished before this one (lines, units)
    std::int64_t total = 0;  // items the work has in all; 0: not known
};

class WorkProgress {
  public:
    // Called on the working thread at every step; it must not block for long.
    using Listener = std::function<void(const ProgressStep&)>;
    // Called on the working thread at every step and checkpoint: for measuring how long a
    // cancel may wait.
    using Watch = std::function<void()>;

    WorkProgress() = default;
    explicit WorkProgress(Listener listener) : listener_(std::move(listener)) {}

    void cancel() { cancelled_.store(true); }
    bool cancelled() const { return cancelled_.load(); }

    // Reports the step to the listener; false when the work is to stop here.
    bool step(const std::string& text, std::int64_t done, std::int64_t total = 0) {
        if (watch_) watch_();
        if (cancelled()) return false;
        if (listener_) listener_(ProgressStep{text, done, total});
        return !cancelled();
    }

    // A point inside a long walk where the work may stop: throws WorkCancelled once cancelled.
    void checkpoint() const {
        if (watch_) watch_();
        if (cancelled()) throw WorkCancelled{};
    }
    void setWatch(Watch watch) { watch_ = std::move(watch); }

  private:
    Listener listener_;
    Watch watch_;
    std::atomic<bool> cancelled_{false};
};

// One step of work that may have no progress to report to; false when it is to stop.
inline bool goOn(WorkProgress* progress, const std::string& text, std::int64_t done,
                 std::int64_t total = 0) {
    return !progress || progress->step(text, done, total);
}

}  // namespace fennick::core
