#pragma once
// The workstation's message boxes and application event log, behind interfaces so that the
// viewer shows real boxes, the command-line tool prints, and tests record.

#include <string>
#include <vector>

namespace fennick::platform {

enum class MessageIcon { None, Information, Exclamation, Critical };

class MessageSink {
  public:
    virtual ~MessageSink() = default;
    virtual void show(const std::string& text, const std::string& title, MessageIcon icon) = 0;
};

class EventLog {
  public:
    virtual ~EventLog() = default;
    virtual void write(const std::string& text) = 0;
};

// Prints "title: text" on stderr, made printable.
class StderrMessages : public MessageSink {
  public:
    void show(const std::string& text, const std::string& title, MessageIcon icon) override;
};

// Writes to syslog with the ident "Fennick".
class SyslogEventLog : public EventLog {
  public:
    void write(const std::string& text) override;
};

// While it lives, messages() on the thread that made it answers `sink` instead of the
// process-wide sink: work running beside the window's thread keeps its messages for the window
// to show.
class ThreadMessages {
  public:
    explicit ThreadMessages(MessageSink& sink);
    ~ThreadMessages();
    ThreadMessages(const ThreadMessages&) = delete;
    ThreadMessages& operator=(const ThreadMessages&) = delete;

  private:
    MessageSink* previous_;
};

// What a thread shows and logs while a Hold lives on it, kept in order; `replay` shows and logs it
// later on the thread that decides it counts (through that thread's sinks). Work that runs
// beside another, and whose outcome only counts when the other takes it, holds its notices so.
class HeldNotices : public MessageSink, public EventLog {
  public:
    void show(const std::string& text, const std::string& title, MessageIcon icon) override;
    void write(const std::string& text) override;
    void replay();

    class Hold {
      public:
        explicit Hold(HeldNotices& held);
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

      private:
        ThreadMessages messages_;
        EventLog* previousLog_;
    };

  private:
    struct Notice {
        bool logged;
        std::string text, title;
        MessageIcon icon;
    };
    std::vector<Notice> notices_;
};

// The process-wide sinks; default to StderrMessages and SyslogEventLog. Setting nullptr
// restores the default.
MessageSink& messages();
void setMessages(MessageSink* sink);
EventLog& eventLog();
void setEventLog(EventLog* log);

}  // namespace fennick::platform
