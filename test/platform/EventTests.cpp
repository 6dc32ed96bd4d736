// Event semantics the plug-in relies on: names shared within the process, objects that
// live until their last handle closes, manual and automatic reset, the peek, and which
// event a multi-event wait takes without losing a wake-up between two threads.
#include <atomic>
#include <memory>

#include <gtest/gtest.h>

#include "platform/Platform.h"
#include "test/platform/PlatformTestSupport.h"

namespace marl::platform {
namespace {

using test::DeadlineMs;
using test::UniqueName;

TEST(EventTest, NamedEventsShareTheirStateUntilTheLastHandleCloses) {
    const std::string name = UniqueName("shared");
    auto first = std::make_unique<Event>(name.c_str(), true, false);
    // The second handle opens the existing event, so its initial state is ignored.
    auto second = std::make_unique<Event>(name.c_str(), true, true);
    ASSERT_TRUE(first->Valid() && second->Valid());
    EXPECT_FALSE(second->IsSignalled());
    first->Set();
    EXPECT_EQ(second->Wait(0), WaitResult::Signalled);
    second->Reset();
    EXPECT_FALSE(first->IsSignalled());

    first->Set();
    first.reset();
    EXPECT_TRUE(Event(name.c_str(), true, false).IsSignalled()) << "the second handle kept the object";
    second.reset();
    EXPECT_FALSE(Event(name.c_str(), true, false).IsSignalled()) << "the name went with the last handle";

    Event unnamed(nullptr, true, false);
    Event empty("", true, false);
    unnamed.Set();
    EXPECT_FALSE(empty.IsSignalled()) << "events without a name are distinct";
}

// A wait takes only an automatic-reset event, the peek takes nothing; a multi-event wait
// refuses empty lists and lists with a gap, takes the lowest signalled index, and takes
// it away when it resets automatically.
TEST(EventTest, ManualAndAutomaticReset) {
    for (bool manualReset : {true, false}) {
        SCOPED_TRACE(manualReset ? "manual reset" : "automatic reset");
        Event event(nullptr, manualReset, false);
        EXPECT_EQ(event.Wait(0), WaitResult::TimedOut);
        event.Set();
        EXPECT_TRUE(event.IsSignalled());
        EXPECT_TRUE(event.IsSignalled()) << "peeking twice";
        EXPECT_EQ(event.Wait(0), WaitResult::Signalled);
        EXPECT_EQ(event.IsSignalled(), manualReset);
        event.Reset();
        EXPECT_EQ(event.Wait(0), WaitResult::TimedOut);

        Event a(nullptr, manualReset, false);
        Event b(nullptr, manualReset, false);
        Event c(nullptr, manualReset, false);
        Event* events[] = {&a, &b, &c};
        EXPECT_EQ(WaitAny(events, 3, 0), -1);
        c.Set();
        b.Set();
        Event* invalid[] = {&b, nullptr};
        EXPECT_EQ(WaitAny(invalid, 2, 0), -1) << "a list with a gap is refused, and takes nothing";
        EXPECT_EQ(WaitAny(nullptr, 1, 0), -1);
        EXPECT_EQ(WaitAny(events, 0, 0), -1);
        EXPECT_EQ(WaitAny(events, 3, 0), 1);
        EXPECT_EQ(WaitAny(events, 3, 0), manualReset ? 1 : 2);
    }
}

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
    one.Join();
    two.Join();
    EXPECT_EQ(count.load(), 2);
    EXPECT_FALSE(event.IsSignalled());
}

// Two threads hand a token back and forth, each waiting on its own event beside one
// that is never set. A Set that slipped in between a waiter's check and its sleep would
// leave a side waiting until its deadline, and the exchange would stop short.
TEST(EventTest, WaitAnyPingPongLosesNoWakeUp) {
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
        if (WaitAny(events, 2, DeadlineMs()) != 1) break;
    }
    partner.Join();
    EXPECT_EQ(completed, kRounds);
    EXPECT_EQ(answered.load(), kRounds);
}

}  // namespace
}  // namespace marl::platform
