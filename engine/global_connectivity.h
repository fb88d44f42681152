#pragma once
// The program-wide data objects: the catalog settings, the system identity and the one data
// engine, created once at start-up and released when the main window unloads.

#include <memory>
#include <optional>
#include <string>

#include "business_basic.h"

namespace fennick {

struct mGlobalConnectivity {
    std::unique_ptr<cEpcInfo> EpcInfo;
    std::unique_ptr<cSystem> System;
    std::unique_ptr<platform::FileSystem> Share;    // the share the engine reads
    std::unique_ptr<cBusinessBasic> BusinessBasic;  // absent when start-up failed
    std::optional<EngineError> StartupError;        // why the engine is absent

    static mGlobalConnectivity& instance();
};

struct StartupOptions {
    std::string settingsFile;  // empty: vRMCatalog.ini in the temporary directory
    std::string uncRoot;       // empty: $FENNICK_UNC_ROOT, else /mnt
    std::unique_ptr<platform::FileSystem> share;  // replaces the local share (tests)
    EngineEnvironment environment;                // its `share` is filled in from the above
};

// The catalog settings file this workstation uses.
std::string defaultSettingsFile();

// Reads the catalog settings, creates the settings and system objects and the engine. On a
// missing settings file or an unreachable share the start-up message is shown and the engine
// stays absent.
void InitializeDataEngine(StartupOptions options = {});
// Releases the engine (closing every file it opened) and the shared objects.
void ReleaseDataEngine();

}  // namespace fennick
