// The one way onto the bus: attempts, waits for the answer the receive path reports,
// global requests that give every ECU the whole time-out, and the exit event.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "host/ZorvLookup.h"
#include "platform/Platform.h"
#include "test/registration/RegistrationFixture.h"

namespace marl::test {
namespace {

using hostsim::CallCount;

constexpr int32_t kSendHandle = 3;
constexpr uint32_t kPgn = 0xFEE5;
constexpr uint8_t kEngine = 0x00;

uint32_t ElapsedSince(uint32_t start) { return platform::TickCountMs() - start; }

class SenderTest : public RegistrationTest {
protected:
    uint16_t Send(uint8_t destination, bool expectAnswer, uint8_t attempts, uint16_t timeoutMs) {
        return app.SendTimedMessage(kSendHandle, RequestFor(kPgn, destination), kPgn, expectAnswer, attempts,
                                    timeoutMs);
    }
};

TEST_F(SenderTest, AnAnswerEndsTheWaitAtOnce) {
    std::atomic<int> armedSa{-1};
    std::atomic<int32_t> armedPgn{0};
    hostsim::SetSendHook([&](ZModuleHandle, const std::vector<uint8_t>&) {
        armedSa = app.awaitedResponseSa.load();
        armedPgn = app.awaitedPgn.load();
        AnswerLater(20, kEngine, kPgn);
        return ZResult{0};
    });
    const uint32_t start = platform::TickCountMs();
    EXPECT_EQ(Send(kEngine, true, 3, 2000), 0);
    EXPECT_LT(ElapsedSince(start), 1500u);
    EXPECT_EQ(hostsim::SentMessages(), std::vector<std::vector<uint8_t>>{RequestFor(kPgn, kEngine)});
    auto sends = hostsim::CallsTo("SendJ1939Msg");
    ASSERT_EQ(sends.size(), 1u);
    EXPECT_EQ(sends[0].Arg(0), "3");
    EXPECT_EQ(sends[0].Arg(2), "9");
    EXPECT_EQ(sends[0].Arg(3), "1");
    EXPECT_EQ(sends[0].Arg(4), "1");
    EXPECT_EQ(sends[0].Arg(5), "0");
    EXPECT_EQ(armedSa.load(), kEngine) << "the answer is awaited from the destination";
    EXPECT_EQ(armedPgn.load(), static_cast<int32_t>(kPgn));
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

    app.playbackStatus = 1;
    EXPECT_EQ(Send(kEngine, true, 3, 1250), 0) << "a recording plays: the bus is not there";
    app.playbackStatus = 0;

    shared.ExitEvent().Set();
    EXPECT_EQ(Send(kEngine, true, 3, 1250), 0) << "the last module is going";
    shared.ExitEvent().Reset();

    app.Attach(nullptr, kUiHandle);
    EXPECT_EQ(Send(kEngine, true, 3, 1250), 0);
    app.Attach(&shared, kUiHandle);

    EXPECT_EQ(app.SendTimedMessage(kSendHandle, {0x00, 0xEA, 0x00, 6, 0xF9}, kPgn, true, 3, 1250), 4)
        << "no destination byte";
    EXPECT_EQ(CallCount("SendJ1939Msg"), 0u);
}

TEST_F(SenderTest, ASenderTheHostDoesNotHaveFailsEveryAttempt) {
    hostsim::RemoveLookup(zorv::kLookupSendJ1939Msg);
    EXPECT_EQ(Send(kEngine, false, 3, 1250), 20);
    EXPECT_EQ(TracesWith("CVehicleApp::SaeJ1939MessageSender (Line 2776): Zorv_GetFunctionAddress failed at "
                         "SendJ1939Msg")
                  .size(),
              3u);
    auto failed = TracesWith("CVehicleApp::SendTimedMessage (Line 2761)");
    ASSERT_EQ(failed.size(), 3u);
    EXPECT_EQ(failed[0].code, 20);
    EXPECT_EQ(failed[0].level, 2);
    EXPECT_EQ(app.awaitedResponseSa.load(), kNullAddress);
    EXPECT_EQ(app.awaitedPgn.load(), 0);
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
    EXPECT_LT(ElapsedSince(start), 2000u);
    unregistration.join();
    EXPECT_EQ(CallCount("SendJ1939Msg"), 1u);
}

}  // namespace
}  // namespace marl::test
