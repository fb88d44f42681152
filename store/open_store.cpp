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

}  // namespace

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
