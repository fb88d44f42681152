#pragma once
// The window's work that reads the share (building the tree, listing a model, showing a unit,
// the hand-offs) on worker threads, so that the window keeps painting and answering. Only one
// job reads at a time: a running job has the store to itself.
//
// Jobs run in front, one at a time: starting a job while one runs cancels the running one and
// drops its result (it is stale); the new job starts once the old one has stopped. One job may
// run behind them (checking the kept tree against the server): it gives way to every job
// started in front, which runs while it waits at its next step, and goes on once the window
// has started no job for a moment. Message boxes a job asks for are kept and shown on the
// window's thread when it ends, before its result is handed over.

#include <QObject>
#include <QString>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

#include "core/work_progress.h"

class QTimer;

namespace fennick::viewer {

// What a job is for, so that each part of the window can tell whether the work running is its
// own.
enum class JobKind { Tree, List, Unit, HandOff, Search, Ageing };

class BackgroundWork : public QObject {
    Q_OBJECT

  public:
    using Job = std::function<void(core::WorkProgress&)>;  // runs on a worker thread
    using Done = std::function<void(std::exception_ptr)>;  // runs here; the job's failure or null
    using Describe =
        std::function<QString(const core::ProgressStep&)>;  // a step as the user reads it

    // How long the window must start no job before the job behind goes on.
    static constexpr int kGoOnBehindAfterMs = 1000;

    explicit BackgroundWork(QObject* parent = nullptr);
    ~BackgroundWork() override;

    void start(JobKind kind, Job job, Done done, Describe describe);
    // Starts the job behind the others, replacing the one there. A job later started in front
    // of the same kind replaces it too.
    void startBehind(JobKind kind, Job job, Done done, Describe describe);
    // A job runs in front or waits to run.
    bool busy() const { return running_ != nullptr || next_.has_value(); }
    // The job that runs or waits to run in front is the last one started, of `kind`.
    bool busyWith(JobKind kind) const { return busy() && kind_ == kind; }
    // A job of `kind` runs behind (or waits to start there) and has not been replaced.
    bool behindWith(JobKind kind) const;
    // The user's Cancel, for the job in front or, with none, the one behind: it stops at its
    // next step and its `done` gets what it has; a job waiting to replace it in front is
    // started cancelled, so that it reports just that.
    void cancel();
    // Stops every job and waits for them; no `done` runs. For closing the window.
    void stop();
    // Lets the event loop run until no job runs, in front or behind; false when `timeoutMs`
    // (if not negative) passed first.
    bool waitUntilIdle(int timeoutMs = -1);
    // The last step of the job in front, or with none of the one behind, described.
    QString progressText() const;

  signals:
    void started();        // a job began in front while none ran there
    void finished();       // the last job in front ended and none waits
    void behindChanged();  // the job behind started, ended or stands in for the front again

  private:
    struct Running;
    struct Queued {
        Job job;
        Done done;
        Describe describe;
        bool cancelled = false;  // cancelled while waiting: it runs only to report that
    };

    std::shared_ptr<Running> launch(Queued queued, bool behind);
    void launchFront();
    // Takes the run out of `slot` once its thread has ended.
    static std::shared_ptr<Running> joined(std::shared_ptr<Running>& slot);
    // Replays the run's messages and hands it its answer, unless it was dropped.
    static void deliver(Running& run);
    void ended(std::uint64_t id);
    void endedBehind(std::uint64_t id);
    void behindWaits(std::uint64_t id);
    void goOnBehind();
    void dropBehind();
    // The job in front may run: nothing runs behind, or it waits at a step.
    bool frontMayRun() const;

    std::shared_ptr<Running> running_;
    std::optional<Queued> next_;
    std::shared_ptr<Running> behind_;
    std::optional<Queued> nextBehind_;
    std::uint64_t lastId_ = 0;
    JobKind kind_ = JobKind::Tree;
    JobKind behindKind_ = JobKind::Tree;
    QTimer* goOnTimer_ = nullptr;
};

}  // namespace fennick::viewer
