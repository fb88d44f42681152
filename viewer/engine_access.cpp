#include "engine_access.h"

#include "core/engine_start.h"

namespace fennick::viewer {

bool startEngine(const core::EngineStart& start) {
    core::startDataEngine(start);
    return mGlobalConnectivity::instance().BusinessBasic != nullptr;
}

cBusinessBasic& engine() {
    return *mGlobalConnectivity::instance().BusinessBasic;
}

const cSystem& engineSystem() {
    return *mGlobalConnectivity::instance().System;
}

platform::FileSystem& engineShare() {
    return engine().Share();
}

void releaseEngine() {
    ReleaseDataEngine();
}

}  // namespace fennick::viewer
