#include "engine_start.h"

#include "platform/local_file_system.h"
#include "read_cache.h"

namespace fennick::viewer {

void startDataEngine(const EngineStart& start) {
    StartupOptions options;
    options.settingsFile = start.settingsFile;
    options.uncRoot = start.uncRoot;
    auto root = start.uncRoot.empty() ? platform::LocalFileSystem::defaultRoot()
                                      : std::filesystem::path(start.uncRoot);
    std::unique_ptr<platform::FileSystem> share = std::make_unique<platform::LocalFileSystem>(root);
    if (start.decorate) share = start.decorate(std::move(share));
    options.share = std::make_unique<ReadCache>(std::move(share));
    InitializeDataEngine(std::move(options));
}

std::string failureText(const std::exception& failure, const std::string& procedure) {
    std::string head;
    if (auto* engine = dynamic_cast<const EngineError*>(&failure))
        head = "Error " + std::to_string(engine->number()) + "  " + engine->description();
    else
        head = std::string("Error  ") + failure.what();
    return head + " in larkmoor." + procedure;
}

}  // namespace fennick::viewer
