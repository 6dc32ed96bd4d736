#include <atomic>

#include <gtest/gtest.h>

#include "platform/Platform.h"

namespace marl::platform {
namespace {

constexpr uint32_t kWakeBoundMs = 2000;
constexpr uint32_t kShortWaitMs = 100;
constexpr uint32_t kTickSlackMs = 20;

TEST(WaitAnyTest, ReturnsTheIndexOfTheSignalledEventAndTakesIt) {
    Event a(nullptr, false, false);
    Event b(nullptr, false, false);
    Event c(nullptr, false, false);
    Event* events[] = {&a, &b, &c};

    b.Set();
    EXPECT_EQ(WaitAny(events, 3, 0), 1);
    EXPECT_EQ(WaitAny(events, 3, 0), -1);
}

TEST(WaitAnyTest, PrefersTheLowestIndexAndLeavesManualEventsSignalled) {
    Event a(nullptr, true, false);
    Event b(nullptr, true, false);
    Event c(nullptr, true, false);
    Event* events[] = {&a, &b, &c};

    c.Set();
    b.Set();
    EXPECT_EQ(WaitAny(events, 3, 0), 1);
    EXPECT_EQ(WaitAny(events, 3, 0), 1);
    b.Reset();
    EXPECT_EQ(WaitAny(events, 3, 0), 2);
}

TEST(WaitAnyTest, TimesOutWithMinusOneNoSooner) {
    Event a(nullptr, true, false);
    Event b(nullptr, false, false);
    Event* events[] = {&a, &b};
    const uint32_t start = TickCountMs();
    EXPECT_EQ(WaitAny(events, 2, kShortWaitMs), -1);
    const uint32_t elapsed = TickCountMs() - start;
    EXPECT_GE(elapsed, kShortWaitMs - kTickSlackMs);
    EXPECT_LT(elapsed, kWakeBoundMs);
}

TEST(WaitAnyTest, RejectsEmptyAndInvalidLists) {
    Event a(nullptr, true, true);
    Event* events[] = {&a, nullptr};
    EXPECT_EQ(WaitAny(nullptr, 1, 0), -1);
    EXPECT_EQ(WaitAny(events, 0, 0), -1);
    EXPECT_EQ(WaitAny(events, 2, 0), -1);
}

TEST(WaitAnyTest, SetFromAnotherThreadWakesTheWaiter) {
    Event exitEvent(nullptr, true, false);
    Event answer(nullptr, false, false);
    Event* events[] = {&exitEvent, &answer};
    Thread setter;
    ASSERT_TRUE(setter.Start(
        [&] {
            SleepMs(kShortWaitMs / 2);
            answer.Set();
        },
        0));
    const uint32_t start = TickCountMs();
    EXPECT_EQ(WaitAny(events, 2, kWakeBoundMs), 1);
    EXPECT_LT(TickCountMs() - start, kWakeBoundMs);
    setter.Join();
}

// Two threads hand a token back and forth, each waiting on its own event beside one
// that is never set. A Set that slipped in between a waiter's check and its sleep would
// leave both sides waiting until the time-out, so the whole exchange is timed too.
TEST(WaitAnyTest, PingPongLosesNoWakeUp) {
    constexpr int kRounds = 300;
    Event idle(nullptr, true, false);
    Event ping(nullptr, false, false);
    Event pong(nullptr, false, false);
    std::atomic<int> answered{0};
    Thread partner;
    ASSERT_TRUE(partner.Start(
        [&] {
            Event* events[] = {&idle, &ping};
            for (int i = 0; i < kRounds; ++i) {
                if (WaitAny(events, 2, kWakeBoundMs) != 1) {
                    return;
                }
                ++answered;
                pong.Set();
            }
        },
        0));
    Event* events[] = {&idle, &pong};
    const uint32_t start = TickCountMs();
    int completed = 0;
    for (; completed < kRounds; ++completed) {
        ping.Set();
        if (WaitAny(events, 2, kWakeBoundMs) != 1) {
            break;
        }
    }
    partner.Join();
    EXPECT_LT(TickCountMs() - start, kWakeBoundMs);
    EXPECT_EQ(completed, kRounds);
    EXPECT_EQ(answered.load(), kRounds);
}

}  // namespace
}  // namespace marl::platform
