// Threads as the plug-in's workers use them: joined by their owner or its destructor,
// started with the stack size they ask for, able to let go of themselves.
#include <atomic>
#include <memory>
#include <utility>

#include <gtest/gtest.h>

#include "platform/Platform.h"
#include "test/platform/PlatformTestSupport.h"

namespace marl::platform {
namespace {

using test::DeadlineMs;
using test::kShortWaitMs;

TEST(ThreadTest, JoinAndTheDestructorWaitForTheBody) {
    for (bool byJoin : {true, false}) {
        SCOPED_TRACE(byJoin ? "Join" : "destructor");
        std::atomic<bool> finished{false};
        std::atomic<bool> currentInside{false};
        auto thread = std::make_unique<Thread>();
        EXPECT_FALSE(thread->Joinable());
        Thread* const self = thread.get();
        ASSERT_TRUE(thread->Start(
            [&] {
                currentInside = self->IsCurrent();
                SleepMs(kShortWaitMs);
                finished = true;
            },
            0));
        EXPECT_TRUE(thread->Joinable());
        EXPECT_FALSE(thread->IsCurrent()) << "only on its own thread";
        if (byJoin) {
            thread->Join();
            EXPECT_FALSE(thread->Joinable());
        } else {
            thread.reset();
        }
        EXPECT_TRUE(finished.load());
        EXPECT_TRUE(currentInside.load());
    }
}

TEST(ThreadTest, StartRefusesARunningThreadAndAnEmptyBodyButRestartsAfterJoin) {
    Event release(nullptr, true, false);
    Thread thread;
    EXPECT_FALSE(thread.Start(std::function<void()>(), 0));
    ASSERT_TRUE(thread.Start([&] { release.Wait(DeadlineMs()); }, 0));
    EXPECT_FALSE(thread.Start([] {}, 0));
    release.Set();
    thread.Join();

    std::atomic<bool> ranAgain{false};
    ASSERT_TRUE(thread.Start([&] { ranAgain = true; }, 0));
    thread.Join();
    EXPECT_TRUE(ranAgain.load());
}

// Windows gives a thread 1 MB unless asked for more: a tiny request is rounded up, and
// the large body needs more than the default.
TEST(ThreadTest, BodyRunsOnTheStackItAskedFor) {
    constexpr size_t kPage = 4096;
    const std::pair<uint32_t, size_t> requestedAndUsed[] = {{1, kPage}, {4u * 1024u * 1024u, 2u * 1024u * 1024u}};
    for (const auto& [requested, used] : requestedAndUsed) {
        std::atomic<size_t> touched{0};
        Thread thread;
        ASSERT_TRUE(thread.Start(
            [&, used = used] {
                volatile unsigned char* block = static_cast<unsigned char*>(__builtin_alloca(used));
                for (size_t i = 0; i < used; i += kPage) {
                    block[i] = 1;
                    touched += block[i];
                }
            },
            requested));
        thread.Join();
        EXPECT_EQ(touched.load(), (used + kPage - 1) / kPage) << requested << " bytes asked for";
    }
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
    EXPECT_EQ(done.Wait(DeadlineMs()), WaitResult::Signalled);
    EXPECT_FALSE(thread.Joinable());
}

}  // namespace
}  // namespace marl::platform
