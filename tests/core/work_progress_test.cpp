// Pausing work at its steps: the one who pauses hears once the work waits, every time it asks,
// also when it asks again before the work woke from the last resume.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "core/work_progress.h"

namespace fennick::core {
namespace {

using namespace std::chrono_literals;

bool waitFor(const std::atomic<int>& value, int wanted) {
    for (auto until = std::chrono::steady_clock::now() + 5s;
         std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(100us))
        if (value.load() >= wanted) return true;
    return false;
}

TEST(WorkProgressTest, EveryPauseIsToldEvenRightAfterAResume) {
    for (int round = 0; round < 100; ++round) {
        WorkProgress progress;
        std::atomic<int> told{0};
        auto waiting = [&] { ++told; };
        progress.pause(waiting);
        std::thread work([&] {
            while (progress.step("line", 0)) {
            }
        });
        ASSERT_TRUE(waitFor(told, 1));
        progress.resume();
        progress.pause(waiting);
        EXPECT_TRUE(waitFor(told, 2)) << "round " << round;
        progress.cancel();
        work.join();
        if (HasFailure()) return;
    }
}

}  // namespace
}  // namespace fennick::core
