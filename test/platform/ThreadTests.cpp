// Threads as the plug-in's workers use them: joined by their owner or its destructor,
// started with the stack size they ask for, able to let go of themselves.
#include <atomic>
#include <memory>

#include <gtest/gtest.h>

#include "platform/Platform.h"
#include "test/platform/PlatformTestSupport.h"

namespace marl::platform {
namespace {

using test::DeadlineMs;
using test::kShortWaitMs;

enum class Ending { Join, Destructor };

class ThreadEndingTest : public ::testing::TestWithParam<Ending> {};

TEST_P(ThreadEndingTest, WaitsForTheBody) {
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
    if (GetParam() == Ending::Join) {
        thread->Join();
        EXPECT_FALSE(thread->Joinable());
    } else {
        thread.reset();
    }
    EXPECT_TRUE(finished.load());
    EXPECT_TRUE(currentInside.load());
}

INSTANTIATE_TEST_SUITE_P(Endings, ThreadEndingTest, ::testing::Values(Ending::Join, Ending::Destructor));

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

struct StackCase {
    const char* label;
    uint32_t requested;
    size_t used;  // bytes of stack the body touches
};

constexpr size_t kPage = 4096;
// Windows gives a thread 1 MB unless asked for more; the large body needs more than that.
constexpr StackCase kStacks[] = {
    {"TinyRequestRoundedUp", 1, kPage},
    {"LargeRequestHonoured", 4u * 1024u * 1024u, 2u * 1024u * 1024u},
};

class ThreadStackTest : public ::testing::TestWithParam<StackCase> {};

TEST_P(ThreadStackTest, BodyRunsOnTheStackItAskedFor) {
    const size_t used = GetParam().used;
    std::atomic<size_t> touched{0};
    Thread thread;
    ASSERT_TRUE(thread.Start(
        [&] {
            volatile unsigned char* block = static_cast<unsigned char*>(__builtin_alloca(used));
            for (size_t i = 0; i < used; i += kPage) {
                block[i] = 1;
                touched += block[i];
            }
        },
        GetParam().requested));
    thread.Join();
    EXPECT_EQ(touched.load(), (used + kPage - 1) / kPage);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ThreadStackTest, ::testing::ValuesIn(kStacks),
                         [](const auto& tested) { return std::string(tested.param.label); });

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
