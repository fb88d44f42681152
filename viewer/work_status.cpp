#include "work_status.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "background_work.h"

namespace fennick::viewer {

namespace {
constexpr int kRefreshMs = 100;
}

WorkStatus::WorkStatus(BackgroundWork& work, QWidget* parent, bool showsBehind)
    : QWidget(parent), work_(work), showsBehind_(showsBehind) {
    setObjectName("workStatus");
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    text_ = new QLabel(this);
    text_->setObjectName("workText");
    bar_ = new QProgressBar(this);
    bar_->setObjectName("workProgress");
    bar_->setRange(0, 0);  // how much is left is not known: a busy bar
    bar_->setMaximumWidth(60);
    cancel_ = new QPushButton(tr("Cancel"), this);
    cancel_->setObjectName("cmdCancelWork");
    row->addWidget(text_);
    row->addWidget(bar_);
    row->addWidget(cancel_);
    hide();

    showTimer_ = new QTimer(this);
    showTimer_->setSingleShot(true);
    showTimer_->setInterval(kShowAfterMs);
    refresh_ = new QTimer(this);
    refresh_->setInterval(kRefreshMs);
    connect(showTimer_, &QTimer::timeout, this, &WorkStatus::showProgress);
    connect(refresh_, &QTimer::timeout, this, [this] { showText(work_.progressText()); });
    connect(cancel_, &QPushButton::clicked, &work_, &BackgroundWork::cancel);
    connect(&work_, &BackgroundWork::started, this, &WorkStatus::workStarted);
    connect(&work_, &BackgroundWork::finished, this, &WorkStatus::workFinished);
    if (showsBehind_)
        connect(&work_, &BackgroundWork::behindChanged, this, [this] {
            if (!work_.busy()) showIdle();
        });
}

void WorkStatus::setOutcome(const QString& text) {
    outcome_ = text;
    showText(text);
    bar_->hide();
    cancel_->hide();
    setVisible(!text.isEmpty());
}

QString WorkStatus::text() const {
    return isHidden() ? QString() : text_->text();
}

// The text takes the room it needs; the connection panels beside it give way.
void WorkStatus::showText(const QString& text) {
    text_->setText(text);
    text_->setMinimumWidth(text_->sizeHint().width());
}

// What the strip shows of the job behind stays until the job in front has run for a moment.
void WorkStatus::workStarted() {
    if (behindShown_)
        outcome_.clear();
    else
        setOutcome(QString());
    showTimer_->start();
}

void WorkStatus::showProgress() {
    if (work_.busy()) showWork();
}

void WorkStatus::showWork() {
    showText(work_.progressText());
    bar_->show();
    cancel_->show();
    show();
    refresh_->start();
}

void WorkStatus::workFinished() {
    showTimer_->stop();
    showIdle();
}

void WorkStatus::showIdle() {
    behindShown_ = outcome_.isEmpty() && showsBehind_ && !work_.progressText().isEmpty();
    if (behindShown_) return showWork();
    refresh_->stop();
    setOutcome(outcome_);
}

}  // namespace fennick::viewer
