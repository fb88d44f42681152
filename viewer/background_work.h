#pragma once
// The window's long work (building the tree, listing a model) on one worker thread, one job at
// a time, so that the window keeps painting and answering. A running job has the engine to
// itself: the window does not touch the engine until the job has ended.
//
// Starting a job while one runs cancels the running one and drops its result; the new job
// starts once the old one has stopped. Message boxes a job asks for are kept and shown on the
// window's thread when it ends, before its result is handed over.

#include <QObject>
#include <QString>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "core/work_progress.h"

namespace fennick::viewer {

// What a job is for, so that each part of the window can tell whether the work running is its
// own.
enum class JobKind { Tree, List, Search, Ageing };

class BackgroundWork : public QObject {
    Q_OBJECT

  public:
    using Job = std::function<void(core::WorkProgress&)>;  // runs on the worker thread
    using Done = std::function<void(std::exception_ptr)>;  // runs here; the job's failure or null
    using Describe =
        std::function<QString(const core::ProgressStep&)>;  // a step as the user reads it

    explicit BackgroundWork(QObject* parent = nullptr);
    ~BackgroundWork() override;

    void start(JobKind kind, Job job, Done done, Describe describe);
    // A job runs or waits to run.
    bool busy() const { return running_ != nullptr; }
    // The job that runs or waits to run is the last one started, of `kind`.
    bool busyWith(JobKind kind) const { return busy() && kind_ == kind; }
    // The user's Cancel: the running job stops at its next step and its `done` gets what it
    // has; a job waiting to replace it is started cancelled, so that it reports just that.
    void cancel();
    // Stops the running job and waits for it; no `done` runs. For closing the window.
    void stop();
    // Lets the event loop run until no job runs; false when `timeoutMs` (if not negative)
    // passed first.
    bool waitUntilIdle(int timeoutMs = -1);
    // The last step of the running job, described.
    QString progressText() const;

  signals:
    void started();   // a job began while none ran
    void finished();  // the last job ended and none waits

  private:
    struct Running;
    struct Queued {
        Job job;
        Done done;
        Describe describe;
        bool cancelled = false;  // cancelled while waiting: it runs only to report that
    };

    void launch(Queued queued);
    void ended(std::uint64_t id);

    std::shared_ptr<Running> running_;
    std::optional<Queued> next_;
    std::uint64_t lastId_ = 0;
    JobKind kind_ = JobKind::Tree;
    mutable std::mutex stepLock_;
    core::ProgressStep lastStep_;
};

}  // namespace fennick::viewer
