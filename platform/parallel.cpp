#include "parallel.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace fennick::platform {

void runInParallel(std::size_t count, int workers, const std::function<void(std::size_t)>& job) {
    std::size_t threads =
        std::min<std::size_t>(count, static_cast<std::size_t>(std::max(workers, 1)));
    if (threads <= 1) {
        for (std::size_t i = 0; i < count; ++i)
            job(i);
        return;
    }
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i = next++; i < count; i = next++)
            job(i);
    };
    std::vector<std::jthread> pool;
    for (std::size_t t = 1; t < threads; ++t)
        pool.emplace_back(work);
    work();
}

}  // namespace fennick::platform
