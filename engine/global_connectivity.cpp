#include "global_connectivity.h"

#include "platform/local_file.h"
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

    // The temporary directory is shared by every user of the machine: a settings file found
    // there is used only when nobody else can have made or changed it. A file the user names
    // is the user's own choice.
    const bool named = !options.settingsFile.empty();
    std::string settingsPath = named ? options.settingsFile : defaultSettingsFile();
    std::error_code ec;
    auto found = named ? std::filesystem::status(settingsPath, ec)
                       : std::filesystem::symlink_status(settingsPath, ec);
    if (!std::filesystem::exists(found)) {
        missingSettings(settingsPath);
        return;
    }
    std::string ini;
    try {
        ini = platform::readLocalFile(
                  settingsPath, platform::kSettingsFile,
                  named ? platform::FileTrust::Named : platform::FileTrust::OwnedByUserOrRoot)
                  .view();
    } catch (const platform::LocalFileError& refused) {
        // A failed open or read says so, with the reason on a line of its own; a file that is
        // refused for what it is says why it is not used.
        const std::string& reason = refused.readFailure();
        const std::string text =
            reason.empty() ? std::string(refused.what()) + " It is not used."
                           : "The settings file " + settingsPath + " cannot be read.\n" + reason;
        platform::messages().show(text, "EpcError", platform::MessageIcon::Critical);
        g.StartupError = EngineError(err::kEngine, "InitializeDataEngine", refused.what());
        return;
    }
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
    } catch (const platform::IoError& lost) {
        // The share failed under start-up's own reads (a lost connection is not turned into an
        // engine error on the way): start-up ends with its message, as any other failure.
        g.BusinessBasic.reset();
        g.StartupError = EngineError(err::kShare, "InitializeDataEngine", lost.what());
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
