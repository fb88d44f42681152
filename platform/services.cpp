#include "services.h"

#include <syslog.h>

#include <iostream>

#include "text.h"

namespace fennick::platform {

namespace {
MessageSink* gMessages = nullptr;
EventLog* gEventLog = nullptr;
thread_local MessageSink* tThreadMessages = nullptr;
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
    return gEventLog ? *gEventLog : fallback;
}

void setEventLog(EventLog* log) {
    gEventLog = log;
}

}  // namespace fennick::platform
