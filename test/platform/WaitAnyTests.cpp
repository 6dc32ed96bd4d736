// Which event a multi-event wait takes, and that no wake-up is lost between two threads.
#include <atomic>

#include <gtest/gtest.h>

#include "platform/Platform.h"
#include "test/platform/PlatformTestSupport.h"

namespace marl::platform {
namespace {

using test::DeadlineMs;

struct Choice {
    const char* label;
    bool manualReset;
    int expectedAgain;  // the result of a second poll: the same event, or none
};

class WaitAnyChoiceTest : public ::testing::TestWithParam<Choice> {};

TEST_P(WaitAnyChoiceTest, TakesTheLowestSignalledIndex) {
    Event a(nullptr, GetParam().manualReset, false);
    Event b(nullptr, GetParam().manualReset, false);
    Event c(nullptr, GetParam().manualReset, false);
    Event* events[] = {&a, &b, &c};
    EXPECT_EQ(WaitAny(events, 3, 0), -1);
    c.Set();
    b.Set();
    EXPECT_EQ(WaitAny(events, 3, 0), 1);
    EXPECT_EQ(WaitAny(events, 3, 0), GetParam().expectedAgain);
}

INSTANTIATE_TEST_SUITE_P(Kinds, WaitAnyChoiceTest,
                         ::testing::Values(Choice{"manual", true, 1}, Choice{"automatic", false, 2}),
                         [](const auto& tested) { return std::string(tested.param.label); });

TEST(WaitAnyTest, RejectsEmptyAndInvalidLists) {
    Event a(nullptr, true, true);
    Event* events[] = {&a, nullptr};
    EXPECT_EQ(WaitAny(nullptr, 1, 0), -1);
    EXPECT_EQ(WaitAny(events, 0, 0), -1);
    EXPECT_EQ(WaitAny(events, 2, 0), -1);
}

// Two threads hand a token back and forth, each waiting on its own event beside one
// that is never set. A Set that slipped in between a waiter's check and its sleep would
// leave a side waiting until its deadline, and the exchange would stop short.
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
            for (int i = 0; i < kRounds && WaitAny(events, 2, DeadlineMs()) == 1; ++i) {
                ++answered;
                pong.Set();
            }
        },
        0));
    Event* events[] = {&idle, &pong};
    int completed = 0;
    for (; completed < kRounds; ++completed) {
        ping.Set();
        if (WaitAny(events, 2, DeadlineMs()) != 1) {
            break;
        }
    }
    partner.Join();
    EXPECT_EQ(completed, kRounds);
    EXPECT_EQ(answered.load(), kRounds);
}

}  // namespace
}  // namespace marl::platform
