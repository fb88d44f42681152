#pragma once
// Opening the dealer's share as the viewer and the command-line tool start: the catalog settings
// file (default: vRMCatalog.ini in the temporary directory), the share chosen from the options
// (platform/share_access.h) with a read cache on top, the share check, the terminal map and the
// links file: the engine's bootstrap, after which the store reads.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "engine/error.h"
#include "platform/share_access.h"
#include "store/store.h"

namespace fennick::store {

// Wraps the share's back end before the read cache goes on top (a recorder in tests, a chosen
// latency per round trip in benchmarks).
using ShareDecorator =
    std::function<std::unique_ptr<platform::FileSystem>(std::unique_ptr<platform::FileSystem>)>;

struct StoreStart {
    std::string settingsFile;      // empty: the default
    platform::ShareOptions share;  // empty: the defaults
    ShareDecorator decorate = {};  // empty: the back end as it is
    bool batching = true;          // false: every read reaches the share as the engine asks
};

// The store over the share, or nothing when start-up failed: the start-up messages have been
// shown and startupError() holds the reason. Share options that cannot be used are shown as a
// "Connection Error" message too. The program has one open store at a time; dropping it
// releases the engine, closing every file it opened.
std::unique_ptr<Store> openStore(const StoreStart& start);
// A store of its own beside the program's, for long work that runs while the windows go on
// reading (the stock ageing): the same start-up options and the server, directory and terminal
// of `running` (the program's system), with its own share connections, read cache and engine.
// The program's engine is left as it is. Null when it cannot start; the start-up messages have been
// shown, as openStore shows them.
std::unique_ptr<Store> openStoreBeside(const cSystem& running, const StoreStart& start);
// Why the last openStore gave nothing.
std::optional<EngineError> startupError();

}  // namespace fennick::store
