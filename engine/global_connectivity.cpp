#include "global_connectivity.h"

#include <filesystem>
#include <optional>

#include "platform/local_file_system.h"
#include "platform/profile.h"
#include "platform/services.h"

namespace fennick {

mGlobalConnectivity& mGlobalConnectivity::instance() {
    static mGlobalConnectivity globals;
    return globals;
}

namespace {

void missingSettings(const std::string& path) {
    platform::messages().show(
        "You are missing file: " + path + "    Are you running Tarnwell Workstation?", "EpcError",
        platform::MessageIcon::Critical);
    mGlobalConnectivity::instance().StartupError =
        EngineError(err::kEngine, "InitializeDataEngine", "You are missing file: " + path);
}

}  // namespace

std::string defaultSettingsFile() {
    return platform::tempDirectory() + "vRMCatalog.ini";
}

void InitializeDataEngine(StartupOptions options) {
    auto& g = mGlobalConnectivity::instance();
    g.BusinessBasic.reset();
    g.StartupError.reset();
    g.EpcInfo = std::make_unique<cEpcInfo>();
    g.System = std::make_unique<cSystem>();

    std::string settingsPath =
        options.settingsFile.empty() ? defaultSettingsFile() : options.settingsFile;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(settingsPath, ec)) {
        missingSettings(settingsPath);
        return;
    }
    std::optional<std::string> settings;
    try {
        settings = platform::readLocalFile(settingsPath);
    } catch (const platform::IoError& failure) {
        // The reason (permission denied, a failed read) goes on a line of its own.
        std::string text = "The settings file " + settingsPath + " cannot be read.";
        platform::messages().show(text + "\n" + failure.what(), "EpcError",
                                  platform::MessageIcon::Critical);
        g.StartupError =
            EngineError(err::kEngine, "InitializeDataEngine", text + " - " + failure.what());
        return;
    }
    if (!settings) {
        missingSettings(settingsPath);
        return;
    }
    const std::string& ini = *settings;
    auto read = [&](const char* key) { return platform::readProfileString(ini, "Quarto", key); };
    cEpcInfo& epc = *g.EpcInfo;
    epc.Server = read("Server");
    epc.DataShare = read("DataShare");
    epc.CatalogShare = "\\\\" + epc.Server + "\\" + read("CatalogShare") + "\\";
    epc.Directory = read("Directory");
    epc.TerminalID = read("TerminalID");
    epc.CustomerNumber = codec::wholeNumber(read("CustomerNumber"));

    cSystem& sys = *g.System;
    sys.mUNCDrive = epc.Server;
    sys.mDirectory = epc.Directory;
    sys.xTermid = epc.TerminalID;

    g.Share = options.share ? std::move(options.share)
                            : std::make_unique<platform::LocalFileSystem>(
                                  options.uncRoot.empty() ? platform::LocalFileSystem::defaultRoot()
                                                          : std::filesystem::path(options.uncRoot));
    options.environment.share = g.Share.get();
    try {
        g.BusinessBasic = std::make_unique<cBusinessBasic>(sys, options.environment);
    } catch (const EngineError& failure) {
        g.BusinessBasic.reset();
        g.StartupError = failure;
    }
}

void ReleaseDataEngine() {
    auto& g = mGlobalConnectivity::instance();
    g.BusinessBasic.reset();
    g.StartupError.reset();
    g.Share.reset();
    g.System.reset();
    g.EpcInfo.reset();
}

}  // namespace fennick
