// Every kind of wait of the platform layer, with the same two rules: a time-out lasts at
// least as long as asked (in the platform's milliseconds, which the test time scale
// shortens), and another thread ends the wait as soon as it signals. Then ownership of
// critical sections and named mutexes: recursive for the owner, exclusive for everyone
// else; ownership is per thread, so the checks come from another one.
#include <chrono>
#include <functional>

#include <gtest/gtest.h>

#include "platform/Platform.h"
#include "test/platform/PlatformTestSupport.h"

namespace marl::platform {
namespace {

using test::DeadlineMs;
using test::kShortWaitMs;
using test::OnOtherThread;
using test::UniqueName;

// A waitable thing in a state where waiting on it blocks, and the way to end that.
struct Waitable {
    Event event{nullptr, false, false};
    Event other{nullptr, true, false};
    NamedMutex mutex{UniqueName("wait").c_str(), false};
};

struct WaitKind {
    const char* label;
    std::function<void(Waitable&)> block;           // on the test's thread
    std::function<bool(Waitable&, uint32_t)> wait;  // true when the wait was satisfied
    std::function<void(Waitable&)> release;         // on the test's thread, while another one waits
};

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
         if (got) w.mutex.Unlock();
         return got;
     },
     [](Waitable& w) { w.mutex.Unlock(); }},
};

class WaitTest : public ::testing::TestWithParam<WaitKind> {};

TEST_P(WaitTest, TimesOutNoSoonerAndAnotherThreadEndsTheWait) {
    Waitable waitable;
    GetParam().block(waitable);
    bool satisfied = true;
    std::chrono::steady_clock::duration took{};
    // Mutexes belong to a thread, so the waits happen on threads of their own.
    OnOtherThread([&] {
        const auto start = std::chrono::steady_clock::now();
        satisfied = GetParam().wait(waitable, kShortWaitMs);
        took = std::chrono::steady_clock::now() - start;
    });
    EXPECT_FALSE(satisfied);
    EXPECT_GE(took, std::chrono::milliseconds(RealMs(kShortWaitMs)));

    Event waiting(nullptr, true, false);
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

// GetTickCount moves in steps of up to 16 ms of real time, which the scale stretches; a
// poll stays a poll, and a wait never becomes one.
TEST(TimeTest, TickAndRealWaitsKeepTheirMeaning) {
    constexpr uint32_t kTickStepRealMs = 20;
    constexpr uint32_t kSleepMs = 500;
    const uint32_t start = TickCountMs();
    SleepMs(kSleepMs);
    EXPECT_GE(TickCountMs() - start, kSleepMs - kTickStepRealMs * TimeScale());
    EXPECT_EQ(RealMs(0), 0u);
    EXPECT_EQ(RealMs(kInfinite), kInfinite);
    EXPECT_GE(RealMs(1), 1u);
    EXPECT_EQ(RealMs(kShortWaitMs * TimeScale()), kShortWaitMs);
}

template <typename TryLock, typename Unlock>
bool OtherThreadGetsIt(TryLock tryLock, Unlock unlock) {
    bool got = false;
    OnOtherThread([&] {
        got = tryLock();
        if (got) unlock();
    });
    return got;
}

TEST(MutexTest, OwnersLockRecursivelyAndExcludeOtherThreads) {
    CriticalSection section;
    const std::string name = UniqueName("recursive");
    NamedMutex mine(name.c_str(), false);
    NamedMutex theirs(name.c_str(), false);
    ASSERT_TRUE(mine.Valid());
    auto otherGetsSection = [&] {
        return OtherThreadGetsIt([&] { return section.TryEnter(); }, [&] { section.Leave(); });
    };
    auto otherGetsMutex = [&] {
        return OtherThreadGetsIt([&] { return theirs.Lock(0) == WaitResult::Signalled; }, [&] { theirs.Unlock(); });
    };
    section.Enter();
    ASSERT_TRUE(section.TryEnter());
    ASSERT_EQ(mine.Lock(0), WaitResult::Signalled);
    ASSERT_EQ(mine.Lock(0), WaitResult::Signalled);
    section.Leave();
    mine.Unlock();
    EXPECT_FALSE(otherGetsSection()) << "entered twice, left once";
    EXPECT_FALSE(otherGetsMutex()) << "locked twice, unlocked once";
    section.Leave();
    mine.Unlock();
    EXPECT_TRUE(otherGetsSection());
    EXPECT_TRUE(otherGetsMutex());

    // Opening an existing mutex asks for ownership but must not get it.
    const std::string initial = UniqueName("initial");
    NamedMutex creator(initial.c_str(), true);
    EXPECT_FALSE(OtherThreadGetsIt([&] { return NamedMutex(initial.c_str(), true).Lock(0) == WaitResult::Signalled; },
                                   [] {}))
        << "only the creator owns a mutex from the start";
    creator.Unlock();
}

}  // namespace
}  // namespace marl::platform
