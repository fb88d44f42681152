#include "live_instances.h"

#include <atomic>

namespace vglintbar {

namespace {
std::atomic<int> g_live{0};
}

LiveInstance::LiveInstance() {
    ++g_live;
}

LiveInstance::~LiveInstance() {
    --g_live;
}

int LiveInstance::count() {
    return g_live.load();
}

}  // namespace vglintbar
