#include "store/open_store.h"

#include "engine/global_connectivity.h"
#include "platform/services.h"

namespace fennick::store {

namespace {

std::optional<EngineError>& lastStartupError() {
    static std::optional<EngineError> error;
    return error;
}

// Nothing of a failed start stays behind but its reason.
std::unique_ptr<Store> failed() {
    lastStartupError() = mGlobalConnectivity::instance().StartupError;
    ReleaseDataEngine();
    return nullptr;
}

// The store of the program's one engine: the engine goes with it, unless a later start has
// replaced it already.
class OpenedStore : public Store {
  public:
    OpenedStore(cBusinessBasic& engine, ReadCache* cache) : Store(engine, cache), engine_(engine) {}
    ~OpenedStore() override {
        if (mGlobalConnectivity::instance().BusinessBasic.get() == &engine_) ReleaseDataEngine();
    }

  private:
    const cBusinessBasic& engine_;
};

// A store that owns its share, its system settings and its engine.
class StoreBeside : public Store {
  public:
    StoreBeside(std::unique_ptr<ReadCache> cache, std::unique_ptr<cSystem> system,
                std::unique_ptr<cBusinessBasic> engine)
        : Store(*engine, cache.get()),
          cache_(std::move(cache)),
          system_(std::move(system)),
          engine_(std::move(engine)) {}
    ~StoreBeside() override {
        engine_.reset();  // closes its files before the share goes
    }

  private:
    std::unique_ptr<ReadCache> cache_;
    std::unique_ptr<cSystem> system_;
    std::unique_ptr<cBusinessBasic> engine_;
};

}  // namespace

std::unique_ptr<Store> openStoreBeside(const cSystem& running, const StoreStart& start) {
    try {
        std::unique_ptr<platform::FileSystem> share = platform::openShare(start.share);
        if (start.decorate) share = start.decorate(std::move(share));
        auto cache = std::make_unique<ReadCache>(std::move(share));
        auto system = std::make_unique<cSystem>();
        system->mUNCDrive = running.mUNCDrive;
        system->mDirectory = running.mDirectory;
        system->xTermid = running.xTermid;
        EngineEnvironment environment;
        environment.share = cache.get();
        auto engine = std::make_unique<cBusinessBasic>(*system, std::move(environment));
        return std::make_unique<StoreBeside>(std::move(cache), std::move(system),
                                             std::move(engine));
    } catch (const std::exception&) {
        return nullptr;
    }
}

std::unique_ptr<Store> openStore(const StoreStart& start) {
    StartupOptions options;
    options.settingsFile = start.settingsFile;
    std::unique_ptr<platform::FileSystem> share;
    try {
        share = platform::openShare(start.share);
    } catch (const platform::ShareOptionError& unusable) {
        platform::messages().show(unusable.what(), "Connection Error",
                                  platform::MessageIcon::Critical);
        lastStartupError() =
            EngineError(err::kShare, "vRMDataEngine_Initialization", unusable.what());
        ReleaseDataEngine();
        return nullptr;
    }
    if (start.decorate) share = start.decorate(std::move(share));
    auto cache = std::make_unique<ReadCache>(std::move(share));
    cache->setBatching(start.batching);
    ReadCache* cacheOfStore = cache.get();
    options.share = std::move(cache);
    InitializeDataEngine(std::move(options));
    auto& globals = mGlobalConnectivity::instance();
    if (!globals.BusinessBasic) return failed();
    lastStartupError().reset();
    return std::make_unique<OpenedStore>(*globals.BusinessBasic, cacheOfStore);
}

std::optional<EngineError> startupError() {
    return lastStartupError();
}

}  // namespace fennick::store
