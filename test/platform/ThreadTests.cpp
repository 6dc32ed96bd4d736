#include <atomic>

#include <gtest/gtest.h>

#include "platform/Platform.h"

namespace marl::platform {
namespace {

constexpr uint32_t kWakeBoundMs = 2000;
constexpr uint32_t kShortWaitMs = 50;
constexpr uint32_t kTickSlackMs = 20;

TEST(ThreadTest, JoinWaitsForTheBody) {
    std::atomic<bool> finished{false};
    Thread thread;
    EXPECT_FALSE(thread.Joinable());
    ASSERT_TRUE(thread.Start(
        [&] {
            SleepMs(kShortWaitMs);
            finished = true;
        },
        0));
    EXPECT_TRUE(thread.Joinable());
    thread.Join();
    EXPECT_TRUE(finished.load());
    EXPECT_FALSE(thread.Joinable());
}

TEST(ThreadTest, DestructorJoins) {
    std::atomic<bool> finished{false};
    {
        Thread thread;
        ASSERT_TRUE(thread.Start(
            [&] {
                SleepMs(kShortWaitMs);
                finished = true;
            },
            0));
    }
    EXPECT_TRUE(finished.load());
}

TEST(ThreadTest, IsCurrentOnlyOnItsOwnThread) {
    Thread thread;
    std::atomic<int> seenInside{-1};
    ASSERT_TRUE(thread.Start([&] { seenInside = thread.IsCurrent() ? 1 : 0; }, 0));
    EXPECT_FALSE(thread.IsCurrent());
    thread.Join();
    EXPECT_EQ(seenInside.load(), 1);
    EXPECT_FALSE(thread.IsCurrent());
}

TEST(ThreadTest, StartRefusesARunningThreadAndAnEmptyBody) {
    Event release(nullptr, true, false);
    Thread thread;
    EXPECT_FALSE(thread.Start(std::function<void()>(), 0));
    ASSERT_TRUE(thread.Start([&] { release.Wait(kWakeBoundMs); }, 0));
    EXPECT_FALSE(thread.Start([] {}, 0));
    release.Set();
    thread.Join();

    std::atomic<bool> ranAgain{false};
    ASSERT_TRUE(thread.Start([&] { ranAgain = true; }, 0));
    thread.Join();
    EXPECT_TRUE(ranAgain.load());
}

TEST(ThreadTest, TinyStackRequestIsRoundedUpToAUsableStack) {
    std::atomic<bool> ran{false};
    Thread thread;
    ASSERT_TRUE(thread.Start([&] { ran = true; }, 1));
    thread.Join();
    EXPECT_TRUE(ran.load());
}

// Windows gives a thread 1 MB unless asked for more; this body needs more than that.
TEST(ThreadTest, LargeStackRequestIsHonoured) {
    constexpr uint32_t kStackSize = 4u * 1024u * 1024u;
    constexpr size_t kUsed = 2u * 1024u * 1024u;
    std::atomic<int> checksum{0};
    Thread thread;
    ASSERT_TRUE(thread.Start(
        [&] {
            volatile unsigned char block[kUsed];
            for (size_t i = 0; i < kUsed; i += 4096) {
                block[i] = static_cast<unsigned char>(i >> 12);
            }
            checksum = block[kUsed - 4096];
        },
        kStackSize));
    thread.Join();
    EXPECT_EQ(checksum.load(), static_cast<int>(((kUsed - 4096) >> 12) & 0xFF));
}

TEST(ThreadTest, JoinFromTheThreadItselfLetsGo) {
    Event done(nullptr, true, false);
    Thread thread;
    ASSERT_TRUE(thread.Start(
        [&] {
            thread.Join();
            done.Set();
        },
        0));
    EXPECT_EQ(done.Wait(kWakeBoundMs), WaitResult::Signalled);
    EXPECT_FALSE(thread.Joinable());
}

TEST(TickCountTest, AdvancesWithASleep) {
    const uint32_t start = TickCountMs();
    SleepMs(kShortWaitMs * 2);
    const uint32_t elapsed = TickCountMs() - start;
    EXPECT_GE(elapsed, kShortWaitMs * 2 - kTickSlackMs);
    EXPECT_LT(elapsed, kWakeBoundMs);
}

}  // namespace
}  // namespace marl::platform
