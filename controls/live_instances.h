#pragma once

#include "vglintbar_global.h"

namespace vglintbar {

// Counts the library's control instances that are alive, so that the library can tell a host
// whether unloading it is safe. A control holds one of these as a member.
class VGLINTBAR_EXPORT LiveInstance {
  public:
    LiveInstance();
    ~LiveInstance();
    LiveInstance(const LiveInstance&) = delete;
    LiveInstance& operator=(const LiveInstance&) = delete;

    static int count();
};

}  // namespace vglintbar
