#include "background_work.h"

#include <QEventLoop>
#include <QThread>
#include <QTimer>
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
    explicit Running(core::WorkProgress::Listener listener) : progress(std::move(listener)) {}

    std::uint64_t id = 0;
    QThread* thread = nullptr;
    core::WorkProgress progress;
    Done done;
    Describe describe;
    bool dropped = false;
    std::exception_ptr failure;
    KeptMessages messages;
};

BackgroundWork::BackgroundWork(QObject* parent) : QObject(parent) {}

BackgroundWork::~BackgroundWork() {
    stop();
}

void BackgroundWork::start(JobKind kind, Job job, Done done, Describe describe) {
    kind_ = kind;
    Queued queued{std::move(job), std::move(done), std::move(describe)};
    if (!running_) {
        launch(std::move(queued));
        emit started();
        return;
    }
    running_->dropped = true;
    running_->progress.cancel();
    next_ = std::move(queued);
}

void BackgroundWork::launch(Queued queued) {
    {
        std::lock_guard lock(stepLock_);
        lastStep_ = core::ProgressStep{};
    }
    auto run = std::make_shared<Running>([this](const core::ProgressStep& step) {
        std::lock_guard lock(stepLock_);
        lastStep_ = step;
    });
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
        run->thread, &QThread::finished, this, [this, id = run->id] { ended(id); },
        Qt::QueuedConnection);
    running_ = run;
    run->thread->start();
}

void BackgroundWork::ended(std::uint64_t id) {
    if (!running_ || running_->id != id) return;  // stopped already
    std::shared_ptr<Running> run = std::move(running_);
    run->thread->wait();
    delete run->thread;
    run->thread = nullptr;
    if (next_) {
        Queued next = std::move(*next_);
        next_.reset();
        launch(std::move(next));
        return;
    }
    if (!run->dropped) {
        run->messages.replay();
        run->done(run->failure);
    }
    if (!running_) emit finished();
}

void BackgroundWork::cancel() {
    if (next_)
        next_->cancelled = true;
    else if (running_)
        running_->progress.cancel();
}

void BackgroundWork::stop() {
    next_.reset();
    if (!running_) return;
    std::shared_ptr<Running> run = std::move(running_);
    run->progress.cancel();
    run->thread->wait();
    delete run->thread;
}

bool BackgroundWork::waitUntilIdle(int timeoutMs) {
    if (!busy()) return true;
    QEventLoop loop;
    connect(this, &BackgroundWork::finished, &loop, &QEventLoop::quit);
    if (timeoutMs >= 0) QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    if (busy()) loop.exec();
    return !busy();
}

QString BackgroundWork::progressText() const {
    if (!running_ || !running_->describe) return QString();
    std::lock_guard lock(stepLock_);
    return running_->describe(lastStep_);
}

}  // namespace fennick::viewer
