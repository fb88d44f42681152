#pragma once
// Progress and cancellation of one long piece of work (building the tree, listing a model).
// The work tells where it stands through step(), on whatever thread it runs; any thread may
// cancel() at any time, and the work stops at its next step, or at its next checkpoint() deep
// inside a walk. Work that gives way to other work may be paused: it then waits at its next step
// until it is resumed or cancelled.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
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

    // Wraps the wait at a paused step, on the working thread: the work sets aside there what
    // the work run meanwhile must not see, and takes it back once `wait` returns.
    using AroundWait = std::function<void(const std::function<void()>& wait)>;

    void cancel() {
        cancelled_.store(true);
        std::lock_guard lock(pauseLock_);
        wake_.notify_all();
    }
    bool cancelled() const { return cancelled_.load(); }

    // The work waits at its next step until resume() or cancel(); `waiting` runs on the
    // working thread once it waits (work that ends first never waits).
    void pause(std::function<void()> waiting) {
        std::lock_guard lock(pauseLock_);
        paused_ = true;
        waiting_ = std::move(waiting);
        ++pauses_;
        wake_.notify_all();
    }
    void resume() {
        std::lock_guard lock(pauseLock_);
        paused_ = false;
        wake_.notify_all();
    }
    // Set by the work before it starts.
    void setAroundWait(AroundWait around) { around_ = std::move(around); }

    // Reports the step to the listener, waits there while paused; false when the work is to
    // stop here.
    bool step(const std::string& text, std::int64_t done, std::int64_t total = 0) {
        if (watch_) watch_();
        if (cancelled()) return false;
        if (listener_) listener_(ProgressStep{text, done, total});
        waitWhilePaused();
        return !cancelled();
    }

    // A point inside a long walk where the work may stop: throws WorkCancelled once cancelled.
    void checkpoint() const {
        if (watch_) watch_();
        if (cancelled()) throw WorkCancelled{};
    }
    void setWatch(Watch watch) { watch_ = std::move(watch); }
    // A point deep inside a walk where paused work may wait as at a step (between two batches
    // of reads ahead): throws WorkCancelled once cancelled.
    void pausePoint() {
        checkpoint();
        waitWhilePaused();
        checkpoint();
    }

  private:
    void waitWhilePaused() {
        std::unique_lock lock(pauseLock_);
        if (!paused_ || cancelled()) return;
        // A pause asked again before this thread woke from the last resume is told anew, as
        // the one asking waits to hear that the work waits.
        auto wait = [&] {
            std::uint64_t told = 0;
            while (paused_ && !cancelled()) {
                if (told != pauses_) {
                    told = pauses_;
                    if (waiting_) waiting_();
                }
                wake_.wait(lock, [&] { return !paused_ || cancelled() || told != pauses_; });
            }
        };
        if (around_)
            around_(wait);
        else
            wait();
    }

    Listener listener_;
    Watch watch_;
    AroundWait around_;
    std::atomic<bool> cancelled_{false};
    std::mutex pauseLock_;
    std::condition_variable wake_;
    bool paused_ = false;
    std::uint64_t pauses_ = 0;  // pause() calls, so that each is told once
    std::function<void()> waiting_;
};

// One step of work that may have no progress to report to; false when it is to stop.
inline bool goOn(WorkProgress* progress, const std::string& text, std::int64_t done,
                 std::int64_t total = 0) {
    return !progress || progress->step(text, done, total);
}

}  // namespace fennick::core
