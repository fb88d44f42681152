#include "services.h"

#include <syslog.h>

#include <iostream>
#include <utility>

#include "text.h"

namespace fennick::platform {

namespace {
MessageSink* gMessages = nullptr;
EventLog* gEventLog = nullptr;
thread_local MessageSink* tThreadMessages = nullptr;
thread_local EventLog* tThreadLog = nullptr;
}  // namespace

void StderrMessages::show(const std::string& text, const std::string& title, MessageIcon) {
    std::cerr << printable((title.empty() ? "" : title + ": ") + text, true) << std::endl;
}

void SyslogEventLog::write(const std::string& text) {
    openlog("Fennick", LOG_PID, LOG_USER);
    syslog(LOG_ERR, "%s", text.c_str());
    closelog();
}

ThreadMessages::ThreadMessages(MessageSink& sink) : previous_(tThreadMessages) {
    tThreadMessages = &sink;
}

ThreadMessages::~ThreadMessages() {
    tThreadMessages = previous_;
}

void HeldNotices::show(const std::string& text, const std::string& title, MessageIcon icon) {
    notices_.push_back({false, text, title, icon});
}

void HeldNotices::write(const std::string& text) {
    notices_.push_back({true, text, {}, MessageIcon::None});
}

void HeldNotices::replay() {
    for (const Notice& notice : std::exchange(notices_, {})) {
        if (notice.logged)
            eventLog().write(notice.text);
        else
            messages().show(notice.text, notice.title, notice.icon);
    }
}

HeldNotices::Hold::Hold(HeldNotices& held) : messages_(held), previousLog_(tThreadLog) {
    tThreadLog = &held;
}

HeldNotices::Hold::~Hold() {
    tThreadLog = previousLog_;
}

MessageSink& messages() {
    static StderrMessages fallback;
    if (tThreadMessages) return *tThreadMessages;
    return gMessages ? *gMessages : fallback;
}

void setMessages(MessageSink* sink) {
    gMessages = sink;
}

EventLog& eventLog() {
    static SyslogEventLog fallback;
    if (tThreadLog) return *tThreadLog;
    return gEventLog ? *gEventLog : fallback;
}

void setEventLog(EventLog* log) {
    gEventLog = log;
}

}  // namespace fennick::platform
