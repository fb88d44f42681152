#pragma once
// The strip at the right of the status bar that shows long work: once a job has run for a
// moment, what it is reading, a busy bar and Cancel; afterwards, when the work was cancelled,
// what the window shows instead. Quick work shows nothing. The main window's strip shows the
// job behind (checking the kept tree) too, at once, whenever no job runs in front.

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace fennick::viewer {

class BackgroundWork;

class WorkStatus : public QWidget {
    Q_OBJECT

  public:
    // Work that ends within this time shows no progress.
    static constexpr int kShowAfterMs = 300;

    WorkStatus(BackgroundWork& work, QWidget* parent = nullptr, bool showsBehind = false);

    // The outcome to keep showing once the work has ended (a cancel); empty hides the strip.
    void setOutcome(const QString& text);
    QString text() const;

  private:
    void showText(const QString& text);
    void workStarted();
    void showProgress();
    void showWork();
    void workFinished();
    // With no job in front: the outcome, else the job behind, else nothing.
    void showIdle();

    BackgroundWork& work_;
    QLabel* text_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QTimer* showTimer_ = nullptr;
    QTimer* refresh_ = nullptr;
    QString outcome_;
    bool showsBehind_;
    bool behindShown_ = false;
};

}  // namespace fennick::viewer
