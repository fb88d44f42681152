#pragma once
// Dialog services for the widget tests: messages are recorded, questions answered from a list,
// the save and print dialogs answered by the test, program starts recorded (and optionally
// carried out).

#include <QPrinter>
#include <QProcess>
#include <deque>
#include <functional>
#include <vector>

#include "viewer/dialog_services.h"

namespace fennick::test_support {

struct ShownMessage {
    QString text, title;
    platform::MessageIcon icon;
};

class FakeDialogServices : public viewer::DialogServices {
  public:
    FakeDialogServices() { viewer::setDialogServices(this); }
    ~FakeDialogServices() override { viewer::setDialogServices(nullptr); }

    void message(QWidget*, const QString& text, const QString& title,
                 platform::MessageIcon icon) override {
        messages.push_back({text, title, icon});
    }
    bool askYesNo(QWidget*, const QString& text, const QString& title,
                  platform::MessageIcon icon) override {
        questions.push_back({text, title, icon});
        bool yes = !answers.empty() && answers.front();
        if (!answers.empty()) answers.pop_front();
        return yes;
    }
    QString saveFileName(QWidget*, const QString& title, const QString& proposedPath,
                         const QString&, const QString& defaultSuffix) override {
        saveDialogs.push_back({proposedPath, title, platform::MessageIcon::None});
        lastSuffix = defaultSuffix;
        return saveAnswer;
    }
    bool choosePrinter(QWidget*, QPrinter& printer) override {
        ++printDialogs;
        return setUpPrinter && setUpPrinter(printer);
    }
    bool startProgram(const QString& program, const QStringList& arguments) override {
        started.push_back(QStringList{program} + arguments);
        return reallyStart ? QProcess::startDetached(program, arguments) : startResult;
    }

    std::vector<ShownMessage> messages, questions, saveDialogs;
    std::deque<bool> answers;
    QString saveAnswer;
    QString lastSuffix;
    int printDialogs = 0;
    std::function<bool(QPrinter&)> setUpPrinter;
    std::vector<QStringList> started;
    bool reallyStart = false;
    bool startResult = true;
};

}  // namespace fennick::test_support
