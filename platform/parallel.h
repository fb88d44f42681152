#pragma once
// Runs `count` independent jobs on up to `workers` threads and returns when all have ended.
// Jobs must not throw; each catches its own failures and records them where its caller reads.

#include <cstddef>
#include <functional>

namespace fennick::platform {

void runInParallel(std::size_t count, int workers, const std::function<void(std::size_t)>& job);

}  // namespace fennick::platform
