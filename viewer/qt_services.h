#pragma once
// The workstation services the viewer gets from Qt: message boxes for the engine's and the
// windows' messages, and the per-user settings stores (QSettings, application "Larkmoor": group
// "Settings" for the tree filter and the programs, group "Window" for the window's layout).

#include <string>

#include "core/settings_store.h"
#include "platform/services.h"

namespace fennick::viewer {

// Shows each message as a modal message box over the active window.
class QtMessageBoxes : public platform::MessageSink {
  public:
    void show(const std::string& text, const std::string& title,
              platform::MessageIcon icon) override;
};

class QtSettingsStore : public core::SettingsStore {
  public:
    explicit QtSettingsStore(std::string group = "Settings") : group_(std::move(group)) {}
    std::string value(const std::string& key, const std::string& fallback) override;
    void save(const std::string& key, const std::string& value) override;

  private:
    std::string group_;
};

}  // namespace fennick::viewer
