// Every kind of wait of the platform layer, with the same two rules: a time-out lasts at
// least as long as asked (in the platform's milliseconds, which the test time scale
// shortens), and another thread ends the wait as soon as it signals.
#include <chrono>
#include <functional>

#include <gtest/gtest.h>

#include "platform/Platform.h"
#include "test/platform/PlatformTestSupport.h"

namespace marl::platform {
namespace {

using test::DeadlineMs;
using test::kShortWaitMs;

// A waitable thing in a state where waiting on it blocks, and the way to end that.
struct Waitable {
    Event event{nullptr, false, false};
    Event other{nullptr, true, false};
    NamedMutex mutex{test::UniqueName("wait").c_str(), false};
};

struct WaitKind {
    const char* label;
    std::function<void(Waitable&)> block;        // called on the test's thread
    std::function<bool(Waitable&, uint32_t)> wait;  // true when the wait was satisfied
    std::function<void(Waitable&)> release;      // called on another thread
};

// Mutexes belong to a thread, so the mutex waits happen on a thread of their own.
template <typename Body>
void OnOtherThread(Body body) {
    Thread thread;
    ASSERT_TRUE(thread.Start(body, 0));
    thread.Join();
}

const WaitKind kKinds[] = {
    {"Event", [](Waitable&) {}, [](Waitable& w, uint32_t ms) { return w.event.Wait(ms) == WaitResult::Signalled; },
     [](Waitable& w) { w.event.Set(); }},
    {"WaitAny", [](Waitable&) {},
     [](Waitable& w, uint32_t ms) {
         Event* const events[] = {&w.other, &w.event};
         return WaitAny(events, 2, ms) == 1;
     },
     [](Waitable& w) { w.event.Set(); }},
    {"NamedMutex", [](Waitable& w) { ASSERT_EQ(w.mutex.Lock(0), WaitResult::Signalled); },
     [](Waitable& w, uint32_t ms) {
         const bool got = w.mutex.Lock(ms) == WaitResult::Signalled;
         if (got) {
             w.mutex.Unlock();
         }
         return got;
     },
     [](Waitable& w) { w.mutex.Unlock(); }},
};

class WaitTest : public ::testing::TestWithParam<WaitKind> {};

TEST_P(WaitTest, TimesOutNoSooner) {
    Waitable waitable;
    GetParam().block(waitable);
    bool satisfied = true;
    std::chrono::steady_clock::duration took{};
    OnOtherThread([&] {
        const auto start = std::chrono::steady_clock::now();
        satisfied = GetParam().wait(waitable, kShortWaitMs);
        took = std::chrono::steady_clock::now() - start;
    });
    EXPECT_FALSE(satisfied);
    EXPECT_GE(took, std::chrono::milliseconds(RealMs(kShortWaitMs)));
    GetParam().release(waitable);
}

TEST_P(WaitTest, AnotherThreadEndsTheWait) {
    Waitable waitable;
    GetParam().block(waitable);
    Event waiting(nullptr, true, false);
    bool satisfied = false;
    Thread waiter;
    ASSERT_TRUE(waiter.Start(
        [&] {
            waiting.Set();
            satisfied = GetParam().wait(waitable, DeadlineMs());
        },
        0));
    ASSERT_EQ(waiting.Wait(DeadlineMs()), WaitResult::Signalled);
    SleepMs(kShortWaitMs);
    // The mutex is released by its owner, this thread; events may be set from anywhere.
    GetParam().release(waitable);
    waiter.Join();
    EXPECT_TRUE(satisfied);
}

INSTANTIATE_TEST_SUITE_P(Kinds, WaitTest, ::testing::ValuesIn(kKinds),
                         [](const auto& tested) { return std::string(tested.param.label); });

TEST(TimeTest, TickAdvancesWithASleepInTheSameUnits) {
    // GetTickCount moves in steps of up to 16 ms of real time, which the scale stretches.
    constexpr uint32_t kTickStepRealMs = 20;
    constexpr uint32_t kSleepMs = 500;
    const uint32_t start = TickCountMs();
    SleepMs(kSleepMs);
    EXPECT_GE(TickCountMs() - start, kSleepMs - kTickStepRealMs * TimeScale());
}

TEST(TimeTest, RealWaitsKeepTheirMeaning) {
    EXPECT_EQ(RealMs(0), 0u) << "a poll stays a poll";
    EXPECT_EQ(RealMs(kInfinite), kInfinite);
    EXPECT_GE(RealMs(1), 1u) << "a wait never becomes a poll";
    EXPECT_EQ(RealMs(kShortWaitMs * TimeScale()), kShortWaitMs);
}

}  // namespace
}  // namespace marl::platform
