#pragma once
// What the main-window tests stand on: a dealer share written to a temporary folder by the demo
// share writer (so the window starts exactly as the program does, from a catalog settings file
// and a local share root), a settings store in memory and a recorder of message boxes.

#include <QTemporaryDir>
#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/settings_store.h"
#include "core/tree_cache.h"
#include "platform/file_system.h"
#include "platform/services.h"
#include "tools/mkdemo/dealer_data.h"

namespace fennick::test_support {

class GuiShare {
  public:
    explicit GuiShare(const demo::DealerData& data);

    std::string ini() const;
    std::string root() const { return dir_.path().toStdString(); }
    // The company folder holding FILE0 and the data files.
    std::filesystem::path companyFolder() const;
    // The key the window keeps this share's trees under.
    core::TreeCacheKey treeKey(bool inStockOnly = false) const;
    // Overwrites, in data file `file` of the company folder, the bytes that follow the first
    // occurrence of `after` with `bytes`; false when `after` does not occur.
    bool overwriteAfter(const std::string& file, const std::string& after,
                        const std::string& bytes) const;

  private:
    QTemporaryDir dir_;
};

class MemorySettings : public core::SettingsStore {
  public:
    std::string value(const std::string& key, const std::string& fallback) override {
        auto found = values.find(key);
        return found == values.end() ? fallback : found->second;
    }
    void save(const std::string& key, const std::string& value) override { values[key] = value; }
    std::map<std::string, std::string> values;
};

// Records the message boxes shown while it lives, as "title|text".
class MessageRecorder : public platform::MessageSink {
  public:
    MessageRecorder() { platform::setMessages(this); }
    ~MessageRecorder() override { platform::setMessages(nullptr); }
    void show(const std::string& text, const std::string& title, platform::MessageIcon) override {
        boxes.push_back(title + "|" + text);
    }
    std::vector<std::string> boxes;
};

// Today's date as the engine reads it, moved by `days`.
Date todayPlus(int days);

}  // namespace fennick::test_support
