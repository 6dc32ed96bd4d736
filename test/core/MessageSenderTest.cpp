// The one way onto the bus: attempts, waits for the answer the receive path reports,
// global requests that give every ECU the whole time-out, and the exit event.

#include <atomic>

#include "host/ZorvLookup.h"
#include "platform/Platform.h"
#include "test/support/AppTest.h"

namespace marl::testing {
namespace {

constexpr int32_t kSendHandle = 3;
constexpr uint32_t kPgn = 0xFEE5;
constexpr uint8_t kEngine = 0x00;

uint32_t ElapsedSince(uint32_t start) { return platform::TickCountMs() - start; }

class SenderTest : public RegistrationTest {
protected:
    uint16_t Send(uint8_t destination, bool expectAnswer, uint8_t attempts, uint16_t timeoutMs) {
        return app.Sender().SendTimedMessage(kSendHandle, RequestFor(kPgn, destination), kPgn, expectAnswer, attempts,
                                    timeoutMs);
    }
};

TEST_F(SenderTest, AnAnswerEndsTheWaitAtOnce) {
    std::atomic<bool> otherSenderIgnored{false};
    hostsim::SetSendHook([&](ZModuleHandle, const std::vector<uint8_t>&) {
        otherSenderIgnored = !app.Sender().Awaited().Release(0x03, kPgn) && !app.Sender().Awaited().Release(kEngine, kPgn + 1) &&
                             app.Sender().Awaited().IsArmed();
        AnswerLater(20, kEngine, kPgn);
        return ZResult{0};
    });
    const uint32_t start = platform::TickCountMs();
    EXPECT_EQ(Send(kEngine, true, 3, 5000), 0);
    EXPECT_LT(ElapsedSince(start), 4000u) << "well short of one time-out";
    EXPECT_EQ(ArgsOf("SendJ1939Msg"), (std::vector<Texts>{{"3", "00 EA 00 06 F9 00 E5 FE 00", "9", "1", "1", "0"}}));
    EXPECT_TRUE(otherSenderIgnored.load()) << "only the PGN from the destination answers";
}

TEST_F(SenderTest, WithoutTimeOutAndWithoutExpectingAnAnswerOneSendDoes) {
    EXPECT_EQ(Send(kEngine, false, 3, 0), 0);
    EXPECT_EQ(CallCount("SendJ1939Msg"), 1u);

    hostsim::ClearCalls();
    EXPECT_EQ(Send(kEngine, true, 2, 0), 10) << "an expected answer that never came";
    EXPECT_EQ(CallCount("SendJ1939Msg"), 2u);
}

TEST_F(SenderTest, NothingIsSentWhenThereIsNothingToDo) {
    EXPECT_EQ(Send(kEngine, true, 0, 1250), 0) << "no attempt at all";

    app.SetPlaybackStatus(1);
    EXPECT_EQ(Send(kEngine, true, 3, 1250), 0) << "a recording plays: the bus is not there";
    app.SetPlaybackStatus(0);

    shared.ExitEvent().Set();
    EXPECT_EQ(Send(kEngine, true, 3, 1250), 0) << "the last module is going";
    shared.ExitEvent().Reset();

    app.Attach(nullptr, kUiHandle);
    EXPECT_EQ(Send(kEngine, true, 3, 1250), 0);
    app.Attach(&shared, kUiHandle);

    EXPECT_EQ(app.Sender().SendTimedMessage(kSendHandle, {0x00, 0xEA, 0x00, 6, 0xF9}, kPgn, true, 3, 1250), 4)
        << "no destination byte";
    EXPECT_EQ(CallCount("SendJ1939Msg"), 0u);
}

TEST_F(SenderTest, ASenderTheHostDoesNotHaveFailsEveryAttempt) {
    hostsim::RemoveLookup(zorv::kLookupSendJ1939Msg);
    EXPECT_EQ(Send(kEngine, false, 3, 1250), 20);
    EXPECT_EQ(TraceCodes("CVehicleApp::SendTimedMessage (Line 2761)"), (std::vector<ZResult>{20, 20, 20}));
    EXPECT_FALSE(app.Sender().Awaited().IsArmed());
}

TEST_F(SenderTest, TheHostsSendErrorIsRetriedAndTheRetryCanBeAnswered) {
    hostsim::SetResult("SendJ1939Msg", 7);
    EXPECT_EQ(Send(kEngine, true, 3, 1250), 7);
    EXPECT_EQ(CallCount("SendJ1939Msg"), 3u);

    ResetHost();
    hostsim::QueueResults("SendJ1939Msg", {7});
    AnswerEveryRequest(20);
    EXPECT_EQ(Send(kEngine, true, 3, 2000), 0);
    EXPECT_EQ(CallCount("SendJ1939Msg"), 2u);
}

TEST_F(SenderTest, AGlobalRequestWaitsItsWholeTimeOut) {
    AnswerEveryRequest(30);
    uint32_t start = platform::TickCountMs();
    EXPECT_EQ(Send(kGlobalAddress, false, 3, 250), 0);
    EXPECT_GE(ElapsedSince(start), 240u) << "every ECU gets the whole time-out to answer";
    EXPECT_EQ(CallCount("SendJ1939Msg"), 1u);
    JoinAnswers();

    hostsim::SetSendHook(nullptr);
    hostsim::ClearCalls();
    start = platform::TickCountMs();
    EXPECT_EQ(Send(kGlobalAddress, false, 1, 250), 10);
    EXPECT_GE(ElapsedSince(start), 240u);
    EXPECT_EQ(CallCount("SendJ1939Msg"), 1u);
}

TEST_F(SenderTest, TheExitEventCutsAGlobalWaitShort) {
    std::thread unregistration([this] {
        platform::SleepMs(50);
        shared.ExitEvent().Set();
    });
    const uint32_t start = platform::TickCountMs();
    EXPECT_EQ(Send(kGlobalAddress, false, 3, 5000), 0);
    EXPECT_LT(ElapsedSince(start), 4000u) << "well short of the time-out";
    unregistration.join();
    EXPECT_EQ(CallCount("SendJ1939Msg"), 1u);
}

}  // namespace
}  // namespace marl::testing

namespace marl::testing {
namespace {

// A late answer to one request must never release the request armed after it: the
// address and the PGN are armed as one.
TEST(AwaitedAnswer, AnAnswerMatchingNeitherArmedRequestNeverReleasesOne) {
    AwaitedAnswer awaited;
    constexpr uint32_t kFirstPgn = 0xFEEC;
    constexpr uint32_t kSecondPgn = 0xFEDA;
    std::atomic<bool> done{false};
    std::atomic<int> falseReleases{0};
    std::thread answers([&] {
        while (!done.load()) {
            // Address of one request, PGN of the other: neither was ever armed.
            if (awaited.Release(0x03, kFirstPgn)) ++falseReleases;
            if (awaited.Release(0x00, kSecondPgn)) ++falseReleases;
        }
    });
    for (int i = 0; i < 200000; ++i) {
        awaited.Arm(0x00, kFirstPgn);
        awaited.Arm(0x03, kSecondPgn);
    }
    done = true;
    answers.join();
    EXPECT_EQ(falseReleases.load(), 0);
    EXPECT_TRUE(awaited.Release(0x03, kSecondPgn));
    EXPECT_FALSE(awaited.IsArmed());
    EXPECT_TRUE(awaited.Answered());
    awaited.Arm(0xFF, kFirstPgn);
    EXPECT_TRUE(awaited.Release(0x17, kFirstPgn)) << "a global request is answered by anyone";
}

}  // namespace
}  // namespace marl::testing
