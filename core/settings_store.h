#pragma once
// The per-user settings store of the viewer: string values in section "Settings" of
// application "Larkmoor". The window reads and writes it through this interface so that tests
// can hand it a store in memory.

#include <string>

namespace fennick::core {

// The one saved setting: "0" when the tree shows every model, "1" when only models with units
// in stock.
constexpr const char* kInStockSetting = "Ckbox";

class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    // The value of `key`, or `fallback` when the store has none.
    virtual std::string value(const std::string& key, const std::string& fallback) = 0;
    virtual void save(const std::string& key, const std::string& value) = 0;
};

}  // namespace fennick::core
