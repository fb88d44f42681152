#pragma once
// A small dealer share in memory for engine and record tests: server FS1, company folder
// DEALER, this workstation named WS07 at 10.0.0.7 and listed as terminal 12.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/business_basic.h"
#include "platform/file_system.h"
#include "platform/services.h"
#include "tools/share_writer.h"

namespace fennick::test_support {

// Records message boxes and event-log entries instead of showing them.
class RecordingServices : public platform::MessageSink, public platform::EventLog {
  public:
    RecordingServices() {
        platform::setMessages(this);
        platform::setEventLog(this);
    }
    ~RecordingServices() override {
        platform::setMessages(nullptr);
        platform::setEventLog(nullptr);
    }
    void show(const std::string& text, const std::string& title, platform::MessageIcon) override {
        boxes.push_back(title + "|" + text);
    }
    void write(const std::string& text) override { events.push_back(text); }
    std::vector<std::string> boxes;
    std::vector<std::string> events;
};

struct TestShare {
    TestShare() : writer(fs, "FS1", "DEALER") {
        writer.makeFolders();
        writer.writeTerminalMap("WS07 12,A\n");
    }

    // Opens the engine over the share as it stands (write the links first).
    cBusinessBasic& open(LockLayer* locks = nullptr) {
        system.mUNCDrive = "FS1";
        system.mDirectory = "DEALER";
        EngineEnvironment env;
        env.share = &fs;
        env.computerName = [] { return std::string("ws07"); };
        env.ipv4Of = [](const std::string&) { return std::string("10.0.0.7"); };
        env.clock = [] { return platform::LocalDateTime{2009, 12, 5, 10, 30, 0}; };
        env.locks = locks;
        env.access = platform::Access::ReadWrite;
        engine = std::make_unique<cBusinessBasic>(system, env);
        return *engine;
    }

    platform::MemoryFileSystem fs;
    tools::ShareWriter writer;
    cSystem system;
    std::unique_ptr<cBusinessBasic> engine;
};

// The engine error `f` raises; a test failure when it raises none.
inline EngineError errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const EngineError& e) {
        return e;
    }
    ADD_FAILURE() << "no error raised";
    return EngineError(0, "", "");
}

// A record of `length` bytes with live status 1 and `text` from position 3.
inline std::string liveRecord(std::int32_t length, const std::string& text = "") {
    std::string record(static_cast<std::size_t>(length), '\0');
    record[1] = 1;
    record.replace(2, std::min(text.size(), record.size() - 2), text.substr(0, record.size() - 2));
    return record;
}

}  // namespace fennick::test_support
