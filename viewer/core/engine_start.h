#pragma once
// Starting the data engine the way the viewer and the command-line tool do: the catalog
// settings file (default: vRMCatalog.ini in the temporary directory) and the local share root
// (default: $FENNICK_UNC_ROOT, else /mnt), with a read cache between the engine and the share.

#include <functional>
#include <memory>
#include <string>

#include "engine/global_connectivity.h"

namespace fennick::viewer {

// Wraps the share's back end before the read cache goes on top (a recorder in tests, a chosen
// latency per round trip in benchmarks).
using ShareDecorator =
    std::function<std::unique_ptr<platform::FileSystem>(std::unique_ptr<platform::FileSystem>)>;

struct EngineStart {
    std::string settingsFile;      // empty: the default
    std::string uncRoot;           // empty: the default
    ShareDecorator decorate = {};  // empty: the back end as it is
};

// Runs the engine bootstrap; the engine is absent afterwards when start-up failed (the
// start-up messages have been shown and mGlobalConnectivity holds the reason).
void startDataEngine(const EngineStart& start);

// "Error " + number + "  " + description + " in larkmoor." + procedure: the text a window
// shows for a failure its event handler caught.
std::string failureText(const std::exception& failure, const std::string& procedure);

}  // namespace fennick::viewer
