#include "background_work.h"

#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

#include "platform/services.h"

namespace fennick::viewer {

namespace {

// The messages a job asked for, shown later on the window's thread in the same order.
class KeptMessages : public platform::MessageSink {
  public:
    void show(const std::string& text, const std::string& title,
              platform::MessageIcon icon) override {
        kept_.emplace_back(text, title, icon);
    }
    void replay() const {
        for (const auto& [text, title, icon] : kept_)
            platform::messages().show(text, title, icon);
    }

  private:
    std::vector<std::tuple<std::string, std::string, platform::MessageIcon>> kept_;
};

}  // namespace

struct BackgroundWork::Running {
    Running()
        : progress([this](const core::ProgressStep& step) {
              std::lock_guard lock(stepLock);
              lastStep = step;
          }) {}

    std::uint64_t id = 0;
    QThread* thread = nullptr;
    core::WorkProgress progress;
    Done done;
    Describe describe;
    bool dropped = false;
    // Behind: asked to wait at its next step, and waiting there (the job in front may run).
    bool waitAsked = false;
    bool waits = false;
    std::exception_ptr failure;
    KeptMessages messages;
    mutable std::mutex stepLock;
    core::ProgressStep lastStep;
};

BackgroundWork::BackgroundWork(QObject* parent) : QObject(parent), goOnTimer_(new QTimer(this)) {
    goOnTimer_->setSingleShot(true);
    goOnTimer_->setInterval(kGoOnBehindAfterMs);
    connect(goOnTimer_, &QTimer::timeout, this, &BackgroundWork::goOnBehind);
}

BackgroundWork::~BackgroundWork() {
    stop();
}

void BackgroundWork::start(JobKind kind, Job job, Done done, Describe describe) {
    const bool wasBusy = busy();
    kind_ = kind;
    if (behindWith(kind)) dropBehind();
    if (running_) {
        running_->dropped = true;
        running_->progress.cancel();
    }
    next_ = Queued{std::move(job), std::move(done), std::move(describe)};
    goOnTimer_->stop();
    launchFront();
    // The job behind gives way at its next step.
    if (!running_ && behind_ && !behind_->waitAsked) {
        behind_->waitAsked = true;
        behind_->progress.pause([this, id = behind_->id] {
            QMetaObject::invokeMethod(
                this, [this, id] { behindWaits(id); }, Qt::QueuedConnection);
        });
    }
    if (!wasBusy) emit started();
}

void BackgroundWork::startBehind(JobKind kind, Job job, Done done, Describe describe) {
    dropBehind();
    behindKind_ = kind;
    nextBehind_ = Queued{std::move(job), std::move(done), std::move(describe)};
    if (!behind_ && !busy()) {
        behind_ = launch(std::move(*nextBehind_), true);
        nextBehind_.reset();
    }
    emit behindChanged();
}

bool BackgroundWork::behindWith(JobKind kind) const {
    return behindKind_ == kind && (nextBehind_ || (behind_ && !behind_->dropped));
}

bool BackgroundWork::frontMayRun() const {
    return !behind_ || behind_->waits;
}

std::shared_ptr<BackgroundWork::Running> BackgroundWork::launch(Queued queued, bool behind) {
    auto run = std::make_shared<Running>();
    run->id = ++lastId_;
    run->done = std::move(queued.done);
    run->describe = std::move(queued.describe);
    if (queued.cancelled) run->progress.cancel();
    // The thread's function holds the job's state until the thread object is deleted.
    run->thread = QThread::create([state = run.get(), job = std::move(queued.job)] {
        platform::ThreadMessages kept(state->messages);
        try {
            job(state->progress);
        } catch (...) {
            state->failure = std::current_exception();
        }
    });
    connect(
        run->thread, &QThread::finished, this,
        [this, id = run->id, behind] { behind ? endedBehind(id) : ended(id); },
        Qt::QueuedConnection);
    run->thread->start();
    return run;
}

void BackgroundWork::launchFront() {
    if (running_ || !next_ || !frontMayRun()) return;
    Queued queued = std::move(*next_);
    next_.reset();
    running_ = launch(std::move(queued), false);
}

std::shared_ptr<BackgroundWork::Running> BackgroundWork::joined(std::shared_ptr<Running>& slot) {
    std::shared_ptr<Running> run = std::move(slot);
    run->thread->wait();
    delete run->thread;
    run->thread = nullptr;
    return run;
}

void BackgroundWork::deliver(Running& run) {
    if (run.dropped) return;
    run.messages.replay();
    run.done(run.failure);
}

void BackgroundWork::ended(std::uint64_t id) {
    if (!running_ || running_->id != id) return;  // stopped already
    std::shared_ptr<Running> run = joined(running_);
    if (next_) return launchFront();
    deliver(*run);
    if (busy()) return;
    emit finished();
    if (behind_ || nextBehind_) goOnTimer_->start();
}

void BackgroundWork::endedBehind(std::uint64_t id) {
    if (!behind_ || behind_->id != id) return;  // stopped already
    std::shared_ptr<Running> run = joined(behind_);
    deliver(*run);
    launchFront();  // the job in front that waited for this one to give way
    if (!behind_ && nextBehind_ && !busy()) {
        behind_ = launch(std::move(*nextBehind_), true);
        nextBehind_.reset();
    }
    emit behindChanged();
}

void BackgroundWork::behindWaits(std::uint64_t id) {
    if (!behind_ || behind_->id != id || !behind_->waitAsked) return;
    behind_->waits = true;
    launchFront();
    if (!busy()) goOnTimer_->start();
    emit behindChanged();
}

// Nothing has run in front for a while: the job behind goes on (or stops, when it has been
// replaced), or the one waiting to run behind starts.
void BackgroundWork::goOnBehind() {
    if (busy()) return;
    if (behind_ && behind_->waits) {
        behind_->waits = behind_->waitAsked = false;
        if (behind_->dropped)
            behind_->progress.cancel();
        else
            behind_->progress.resume();
    } else if (!behind_ && nextBehind_) {
        behind_ = launch(std::move(*nextBehind_), true);
        nextBehind_.reset();
    }
    emit behindChanged();
}

// A job waiting at a step stops only once nothing runs in front; one reading stops at its next
// step (a job waiting in front then runs once it has ended).
void BackgroundWork::dropBehind() {
    nextBehind_.reset();
    if (!behind_ || behind_->dropped) return;
    behind_->dropped = true;
    if (!behind_->waits) behind_->progress.cancel();
    emit behindChanged();
}

void BackgroundWork::cancel() {
    if (next_) {
        next_->cancelled = true;
    } else if (running_) {
        running_->progress.cancel();
    } else if (behind_ && !behind_->dropped) {
        behind_->waits = behind_->waitAsked = false;  // nothing runs in front: it may go on
        behind_->progress.cancel();
    }
}

void BackgroundWork::stop() {
    next_.reset();
    nextBehind_.reset();
    goOnTimer_->stop();
    // The job in front first: the one behind may be waiting for it.
    for (std::shared_ptr<Running>* lane : {&running_, &behind_}) {
        std::shared_ptr<Running> run = std::move(*lane);
        if (!run) continue;
        run->progress.cancel();
        run->thread->wait();
        delete run->thread;
    }
}

bool BackgroundWork::waitUntilIdle(int timeoutMs) {
    auto idle = [this] { return !busy() && !behind_ && !nextBehind_; };
    if (idle()) return true;
    QEventLoop loop;
    auto quitWhenIdle = [&] {
        if (idle()) loop.quit();
    };
    connect(this, &BackgroundWork::finished, &loop, quitWhenIdle);
    connect(this, &BackgroundWork::behindChanged, &loop, quitWhenIdle);
    if (timeoutMs >= 0) QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return idle();
}

QString BackgroundWork::progressText() const {
    const Running* run = running_                       ? running_.get()
                         : behind_ && !behind_->dropped ? behind_.get()
                                                        : nullptr;
    if (!run || !run->describe) return QString();
    std::lock_guard lock(run->stepLock);
    return run->describe(run->lastStep);
}

}  // namespace fennick::viewer
