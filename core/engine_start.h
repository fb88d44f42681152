#pragma once
// Starting the data engine the way the viewer and the command-line tool do: the catalog
// settings file (default: vRMCatalog.ini in the temporary directory) and the share chosen from
// the options (platform/share_access.h), with a read cache between the engine and the share.

#include <functional>
#include <memory>
#include <string>

#include "engine/global_connectivity.h"
#include "platform/share_access.h"

namespace fennick::core {

// Wraps the share's back end before the read cache goes on top (a recorder in tests, a chosen
// latency per round trip in benchmarks).
using ShareDecorator =
    std::function<std::unique_ptr<platform::FileSystem>(std::unique_ptr<platform::FileSystem>)>;

struct EngineStart {
    std::string settingsFile;      // empty: the default
    platform::ShareOptions share;  // empty: the defaults
    ShareDecorator decorate = {};  // empty: the back end as it is
};

// Runs the engine bootstrap; the engine is absent afterwards when start-up failed (the
// start-up messages have been shown and mGlobalConnectivity holds the reason). Share options
// that cannot be used are shown as a "Connection Error" message too.
void startDataEngine(const EngineStart& start);

// "Error " + number + "  " + description + " in larkmoor." + procedure: the text a window
// shows for a failure its event handler caught.
std::string failureText(const std::exception& failure, const std::string& procedure);

}  // namespace fennick::core
