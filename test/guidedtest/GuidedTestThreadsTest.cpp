// Guided tests run on threads of their own that the application keeps until they end,
// and that end at their next step when their module goes.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "VehicleApp/guidedtest/GuidedTestThreads.h"

namespace marl {
namespace {

constexpr uint32_t kStack = 1024;
constexpr uint32_t kLongWaitMs = 10000;

// A test that runs until it is told to stop, then takes a moment to close its screen.
void UntilStopped(const std::atomic<bool>& stop, std::atomic<int>& finished) {
    while (!stop.load()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ++finished;
}

TEST(GuidedTestThreads, StoppingAModuleEndsOnlyItsTestsAndJoinAllEndsTheRest) {
    std::atomic<int> finished{0};
    auto body = [&finished](const std::atomic<bool>& stop) { UntilStopped(stop, finished); };
    GuidedTestThreads threads;
    ASSERT_TRUE(threads.Start({1, 206}, body, kStack));
    ASSERT_TRUE(threads.Start({2, 207}, body, kStack)) << "a second test may start while the first runs";
    ASSERT_TRUE(threads.Start({2, 208}, body, kStack));
    EXPECT_EQ(threads.LastContext().teskId, 208u);

    EXPECT_TRUE(threads.StopTests(2, kLongWaitMs));
    EXPECT_EQ(finished.load(), 2) << "both tests of module 2 ended before StopTests returned, module 1's runs on";
    EXPECT_TRUE(threads.StopTests(3, 0)) << "a module without tests has nothing to wait for";

    std::atomic<bool> release{false};
    ASSERT_TRUE(threads.Start(
        {4, 209},
        [&release](const std::atomic<bool>&) {
            while (!release.load()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        },
        kStack));
    EXPECT_FALSE(threads.StopTests(4, 50)) << "a test blocked elsewhere outlasts the wait";
    release = true;
    EXPECT_TRUE(threads.StopTests(4, kLongWaitMs));
    threads.JoinAll();
    EXPECT_EQ(finished.load(), 3) << "JoinAll stopped and waited for the last one";
}

}  // namespace
}  // namespace marl
