#include <atomic>

#include <gtest/gtest.h>

#include "platform/Platform.h"
#include "test/platform/UniqueName.h"

namespace marl::platform {
namespace {

using test::UniqueName;

constexpr uint32_t kShortWaitMs = 100;
constexpr uint32_t kTickSlackMs = 20;

// Runs body on a thread of its own and waits for it; ownership of mutexes and critical
// sections is per thread, so the checks must come from another one.
template <typename Body>
void OnOtherThread(Body body) {
    Thread thread;
    ASSERT_TRUE(thread.Start(body, 0));
    thread.Join();
}

TEST(CriticalSectionTest, IsRecursiveAndExcludesOtherThreads) {
    CriticalSection section;
    section.Enter();
    section.Enter();
    ASSERT_TRUE(section.TryEnter());
    section.Leave();
    section.Leave();

    bool otherGotIt = true;
    OnOtherThread([&] {
        otherGotIt = section.TryEnter();
        if (otherGotIt) {
            section.Leave();
        }
    });
    EXPECT_FALSE(otherGotIt);

    section.Leave();
    OnOtherThread([&] {
        otherGotIt = section.TryEnter();
        if (otherGotIt) {
            section.Leave();
        }
    });
    EXPECT_TRUE(otherGotIt);
}

TEST(NamedMutexTest, OwnerMayLockAgainAndMustUnlockAsOften) {
    const std::string name = UniqueName("recursive");
    NamedMutex mine(name.c_str(), false);
    NamedMutex theirs(name.c_str(), false);
    ASSERT_TRUE(mine.Valid());
    ASSERT_EQ(mine.Lock(0), WaitResult::Signalled);
    ASSERT_EQ(mine.Lock(0), WaitResult::Signalled);

    WaitResult other = WaitResult::Failed;
    OnOtherThread([&] { other = theirs.Lock(0); });
    EXPECT_EQ(other, WaitResult::TimedOut);

    mine.Unlock();
    OnOtherThread([&] { other = theirs.Lock(0); });
    EXPECT_EQ(other, WaitResult::TimedOut);

    mine.Unlock();
    OnOtherThread([&] {
        other = theirs.Lock(0);
        if (other == WaitResult::Signalled) {
            theirs.Unlock();
        }
    });
    EXPECT_EQ(other, WaitResult::Signalled);
}

TEST(NamedMutexTest, InitialOwnershipGoesOnlyToTheCreator) {
    const std::string name = UniqueName("initial");
    NamedMutex creator(name.c_str(), true);
    WaitResult other = WaitResult::Failed;
    OnOtherThread([&] {
        // Opening the existing mutex asks for ownership but must not get it.
        NamedMutex opener(name.c_str(), true);
        other = opener.Lock(0);
        if (other == WaitResult::Signalled) {
            opener.Unlock();
        }
    });
    EXPECT_EQ(other, WaitResult::TimedOut);
    creator.Unlock();
}

TEST(NamedMutexTest, LockTimesOutNoSooner) {
    const std::string name = UniqueName("timeout");
    NamedMutex holder(name.c_str(), false);
    NamedMutex waiter(name.c_str(), false);
    ASSERT_EQ(holder.Lock(0), WaitResult::Signalled);
    WaitResult other = WaitResult::Failed;
    uint32_t elapsed = 0;
    OnOtherThread([&] {
        const uint32_t start = TickCountMs();
        other = waiter.Lock(kShortWaitMs);
        elapsed = TickCountMs() - start;
    });
    EXPECT_EQ(other, WaitResult::TimedOut);
    EXPECT_GE(elapsed, kShortWaitMs - kTickSlackMs);
    holder.Unlock();
}

TEST(NamedMutexTest, WaiterGetsTheMutexWhenTheOwnerReleases) {
    NamedMutex mutex(nullptr, true);
    Event waiting(nullptr, true, false);
    std::atomic<bool> acquired{false};
    Thread thread;
    ASSERT_TRUE(thread.Start(
        [&] {
            waiting.Set();
            if (mutex.Lock(kInfinite) == WaitResult::Signalled) {
                acquired = true;
                mutex.Unlock();
            }
        },
        0));
    ASSERT_EQ(waiting.Wait(kInfinite), WaitResult::Signalled);
    SleepMs(kShortWaitMs / 2);
    EXPECT_FALSE(acquired.load());
    mutex.Unlock();
    thread.Join();
    EXPECT_TRUE(acquired.load());
}

}  // namespace
}  // namespace marl::platform
