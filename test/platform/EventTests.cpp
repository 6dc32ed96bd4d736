#include <atomic>
#include <memory>

#include <gtest/gtest.h>

#include "platform/Platform.h"
#include "test/platform/UniqueName.h"

namespace marl::platform {
namespace {

using test::UniqueName;

// Generous bound for a wake-up that should be immediate: the CI machine has two cores
// and the Windows build runs under Wine.
constexpr uint32_t kWakeBoundMs = 2000;
constexpr uint32_t kShortWaitMs = 100;
// GetTickCount advances in steps of about 16 ms.
constexpr uint32_t kTickSlackMs = 20;

bool WaitUntil(const std::atomic<int>& value, int expected) {
    const uint32_t start = TickCountMs();
    while (value.load() != expected) {
        if (TickCountMs() - start > kWakeBoundMs) {
            return false;
        }
        SleepMs(1);
    }
    return true;
}

TEST(EventTest, EventsOfOneNameShareTheirState) {
    const std::string name = UniqueName("shared");
    Event first(name.c_str(), true, false);
    // The second handle opens the existing event, so its initial state is ignored.
    Event second(name.c_str(), true, true);
    ASSERT_TRUE(first.Valid());
    ASSERT_TRUE(second.Valid());
    EXPECT_FALSE(second.IsSignalled());

    first.Set();
    EXPECT_TRUE(second.IsSignalled());
    EXPECT_EQ(second.Wait(0), WaitResult::Signalled);
    second.Reset();
    EXPECT_FALSE(first.IsSignalled());
}

TEST(EventTest, NamedEventLivesUntilItsLastHandleCloses) {
    const std::string name = UniqueName("lifetime");
    auto first = std::make_unique<Event>(name.c_str(), true, false);
    Event second(name.c_str(), true, false);
    first->Set();
    first.reset();
    EXPECT_TRUE(second.IsSignalled());

    auto third = std::make_unique<Event>(name.c_str(), true, false);
    EXPECT_TRUE(third->IsSignalled());
    third.reset();
}

TEST(EventTest, NameIsFreedWithTheLastHandle) {
    const std::string name = UniqueName("freed");
    {
        Event first(name.c_str(), true, true);
        EXPECT_TRUE(first.IsSignalled());
    }
    Event fresh(name.c_str(), true, false);
    EXPECT_FALSE(fresh.IsSignalled());
}

TEST(EventTest, UnnamedEventsAreDistinct) {
    Event first(nullptr, true, false);
    Event second("", true, false);
    first.Set();
    EXPECT_FALSE(second.IsSignalled());
}

TEST(EventTest, ManualResetStaysSignalledUntilReset) {
    Event event(nullptr, true, false);
    EXPECT_EQ(event.Wait(0), WaitResult::TimedOut);
    event.Set();
    EXPECT_EQ(event.Wait(0), WaitResult::Signalled);
    EXPECT_EQ(event.Wait(0), WaitResult::Signalled);
    event.Reset();
    EXPECT_EQ(event.Wait(0), WaitResult::TimedOut);
}

TEST(EventTest, AutoResetIsTakenByOneWaitAndPeekDoesNotTakeIt) {
    Event event(nullptr, false, true);
    EXPECT_TRUE(event.IsSignalled());
    EXPECT_TRUE(event.IsSignalled());
    EXPECT_EQ(event.Wait(0), WaitResult::Signalled);
    EXPECT_FALSE(event.IsSignalled());
    EXPECT_EQ(event.Wait(0), WaitResult::TimedOut);
}

TEST(EventTest, AutoResetSetReleasesExactlyOneWaiter) {
    Event event(nullptr, false, false);
    std::atomic<int> released{0};
    auto waitOnce = [&] {
        if (event.Wait(kWakeBoundMs * 2) == WaitResult::Signalled) {
            ++released;
        }
    };
    Thread one;
    Thread two;
    ASSERT_TRUE(one.Start(waitOnce, 0));
    ASSERT_TRUE(two.Start(waitOnce, 0));
    SleepMs(kShortWaitMs / 2);

    event.Set();
    ASSERT_TRUE(WaitUntil(released, 1));
    SleepMs(kShortWaitMs / 2);
    EXPECT_EQ(released.load(), 1);

    event.Set();
    EXPECT_TRUE(WaitUntil(released, 2));
    one.Join();
    two.Join();
    EXPECT_FALSE(event.IsSignalled());
}

TEST(EventTest, WaitTimesOutNoSooner) {
    Event event(nullptr, true, false);
    const uint32_t start = TickCountMs();
    EXPECT_EQ(event.Wait(kShortWaitMs), WaitResult::TimedOut);
    const uint32_t elapsed = TickCountMs() - start;
    EXPECT_GE(elapsed, kShortWaitMs - kTickSlackMs);
    EXPECT_LT(elapsed, kWakeBoundMs);
}

TEST(EventTest, SetFromAnotherThreadWakesAnInfiniteWait) {
    Event event(nullptr, false, false);
    Thread setter;
    ASSERT_TRUE(setter.Start(
        [&] {
            SleepMs(kShortWaitMs / 2);
            event.Set();
        },
        0));
    EXPECT_EQ(event.Wait(kInfinite), WaitResult::Signalled);
    setter.Join();
}

}  // namespace
}  // namespace marl::platform
