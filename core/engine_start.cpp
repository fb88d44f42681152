#include "engine_start.h"

#include "platform/services.h"
#include "read_cache.h"

namespace fennick::core {

void startDataEngine(const EngineStart& start) {
    StartupOptions options;
    options.settingsFile = start.settingsFile;
    std::unique_ptr<platform::FileSystem> share;
    try {
        share = platform::openShare(start.share);
    } catch (const platform::ShareOptionError& unusable) {
        ReleaseDataEngine();
        platform::messages().show(unusable.what(), "Connection Error",
                                  platform::MessageIcon::Critical);
        mGlobalConnectivity::instance().StartupError =
            EngineError(err::kShare, "vRMDataEngine_Initialization", unusable.what());
        return;
    }
    if (start.decorate) share = start.decorate(std::move(share));
    options.share = std::make_unique<ReadCache>(std::move(share));
    InitializeDataEngine(std::move(options));
}

std::string failureText(const std::exception& failure, const std::string& procedure) {
    std::string head;
    if (auto* engine = dynamic_cast<const EngineError*>(&failure))
        head = "Error " + std::to_string(engine->number()) + "  " + engine->description();
    else if (dynamic_cast<const platform::ConnectionLost*>(&failure))
        head = "Error " + std::to_string(err::kShare) + "  " + failure.what();
    else
        head = std::string("Error  ") + failure.what();
    return head + " in larkmoor." + procedure;
}

}  // namespace fennick::core
