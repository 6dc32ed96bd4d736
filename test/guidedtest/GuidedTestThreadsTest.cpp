// Guided tests run on threads of their own that the application keeps until they end.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "VehicleApp/guidedtest/GuidedTestThreads.h"

namespace marl {
namespace {

constexpr uint32_t kStack = 1024;

TEST(GuidedTestThreads, JoinAllWaitsForEveryRunningTest) {
    GuidedTestThreads threads;
    std::atomic<bool> release{false};
    std::atomic<int> finished{0};
    auto body = [&] {
        while (!release.load()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ++finished;
    };
    ASSERT_TRUE(threads.Start({1, 206}, body, kStack));
    ASSERT_TRUE(threads.Start({2, 207}, body, kStack)) << "a second test may start while the first runs";

    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        release = true;
    });
    threads.JoinAll();
    EXPECT_EQ(finished.load(), 2) << "both tests ended before JoinAll returned";
    releaser.join();
}

TEST(GuidedTestThreads, EndedTestsAreLetGoWhenTheNextStarts) {
    std::atomic<int> runs{0};
    {
        GuidedTestThreads threads;
        for (int i = 0; i < 50; ++i) {
            ASSERT_TRUE(threads.Start({1, static_cast<uint32_t>(i)}, [&runs] { ++runs; }, kStack));
        }
    }
    EXPECT_EQ(runs.load(), 50) << "the destructor joined what was still running";
}

}  // namespace
}  // namespace marl
