#include "global_connectivity.h"

#include <fstream>

#include "platform/local_file_system.h"
#include "platform/profile.h"
#include "platform/services.h"

namespace fennick {

mGlobalConnectivity& mGlobalConnectivity::instance() {
    static mGlobalConnectivity globals;
    return globals;
}

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
        platform::messages().show(
            "You are missing file: " + settingsPath + "    Are you running Tarnwell Workstation?",
            "EpcError", platform::MessageIcon::Critical);
        g.StartupError = EngineError(err::kEngine, "InitializeDataEngine",
                                     "You are missing file: " + settingsPath);
        return;
    }
    std::ifstream in(settingsPath, std::ios::binary);
    std::string ini((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
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
