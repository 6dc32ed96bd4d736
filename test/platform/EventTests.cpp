// Event semantics the plug-in relies on: names shared within the process, objects that
// live until their last handle closes, manual and automatic reset, and the peek.
#include <atomic>
#include <memory>

#include <gtest/gtest.h>

#include "platform/Platform.h"
#include "test/platform/PlatformTestSupport.h"

namespace marl::platform {
namespace {

using test::DeadlineMs;
using test::UniqueName;

TEST(EventTest, EventsOfOneNameShareTheirState) {
    const std::string name = UniqueName("shared");
    Event first(name.c_str(), true, false);
    // The second handle opens the existing event, so its initial state is ignored.
    Event second(name.c_str(), true, true);
    ASSERT_TRUE(first.Valid() && second.Valid());
    EXPECT_FALSE(second.IsSignalled());
    first.Set();
    EXPECT_EQ(second.Wait(0), WaitResult::Signalled);
    second.Reset();
    EXPECT_FALSE(first.IsSignalled());

    Event unnamed(nullptr, true, false);
    Event empty("", true, false);
    unnamed.Set();
    EXPECT_FALSE(empty.IsSignalled()) << "events without a name are distinct";
}

TEST(EventTest, NamedEventLivesUntilItsLastHandleCloses) {
    const std::string name = UniqueName("lifetime");
    auto first = std::make_unique<Event>(name.c_str(), true, false);
    auto second = std::make_unique<Event>(name.c_str(), true, false);
    first->Set();
    first.reset();
    EXPECT_TRUE(Event(name.c_str(), true, false).IsSignalled()) << "the second handle kept the object";
    second.reset();
    EXPECT_FALSE(Event(name.c_str(), true, false).IsSignalled()) << "the name went with the last handle";
}

struct ResetCase {
    const char* label;
    bool manualReset;
    bool signalledAfterAWait;
};

class EventResetTest : public ::testing::TestWithParam<ResetCase> {};

TEST_P(EventResetTest, AWaitTakesOnlyAnAutoResetEventAndThePeekTakesNothing) {
    Event event(nullptr, GetParam().manualReset, false);
    EXPECT_EQ(event.Wait(0), WaitResult::TimedOut);
    event.Set();
    EXPECT_TRUE(event.IsSignalled());
    EXPECT_TRUE(event.IsSignalled()) << "peeking twice";
    EXPECT_EQ(event.Wait(0), WaitResult::Signalled);
    EXPECT_EQ(event.IsSignalled(), GetParam().signalledAfterAWait);
    event.Reset();
    EXPECT_EQ(event.Wait(0), WaitResult::TimedOut);
}

INSTANTIATE_TEST_SUITE_P(Kinds, EventResetTest,
                         ::testing::Values(ResetCase{"manual", true, true}, ResetCase{"automatic", false, false}),
                         [](const auto& tested) { return std::string(tested.param.label); });

TEST(EventTest, AutoResetSetReleasesExactlyOneWaiter) {
    Event event(nullptr, false, false);
    Event released(nullptr, false, false);
    std::atomic<int> count{0};
    auto waitOnce = [&] {
        if (event.Wait(DeadlineMs()) == WaitResult::Signalled) {
            ++count;
            released.Set();
        }
    };
    Thread one;
    Thread two;
    ASSERT_TRUE(one.Start(waitOnce, 0));
    ASSERT_TRUE(two.Start(waitOnce, 0));

    event.Set();
    ASSERT_EQ(released.Wait(DeadlineMs()), WaitResult::Signalled);
    EXPECT_EQ(released.Wait(test::kShortWaitMs), WaitResult::TimedOut) << "a second waiter got the same Set";
    EXPECT_EQ(count.load(), 1);

    event.Set();
    EXPECT_EQ(released.Wait(DeadlineMs()), WaitResult::Signalled);
    one.Join();
    two.Join();
    EXPECT_EQ(count.load(), 2);
    EXPECT_FALSE(event.IsSignalled());
}

}  // namespace
}  // namespace marl::platform
