// The query thread itself: the diagnostic poll of every channel's first module, the
// passes over the subscriptions, and how it ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <thread>

#include "VehicleApp/core/SharedState.h"
#include "test/support/SubscriptionTest.h"

namespace marl::testing {
namespace {

// The diagnostic PGNs of the poll, the first of which the tests count.
constexpr uint32_t kDiagnosticPgns[] = {0xFECB, 0xFECF, 0xFED4, 0xFDB5, 0xFD82, 0xFD80, 0x9F00};
constexpr uint32_t kPgnDm2 = kDiagnosticPgns[0];
constexpr uint32_t kLastDiagnosticPgn = kDiagnosticPgns[6];

class QueryLoop : public SubscriptionTest {
protected:
    void SetUp() override {
        SubscriptionTest::SetUp();
        AddModule(1, 0x00, 1);
        AddModule(2, 0x03, 1);
        AddModule(3, 0x0B, 2);
        for (int32_t handle : {1, 2, 3}) app.Modules().FindModule(handle)->SetRegistrationComplete();
        // The ECUs keep silent, and the adapter refuses the diagnostic requests at once
        // (after the host has logged them) so that none waits out its time-out.
        hostsim::SetSendHook([](ZModuleHandle, const std::vector<uint8_t>& message) {
            const uint32_t requested = message[6] | (message[7] << 8) | (message[8] << 16);
            const bool diagnostic = std::find(std::begin(kDiagnosticPgns), std::end(kDiagnosticPgns), requested) !=
                                    std::end(kDiagnosticPgns);
            return ZResult{diagnostic ? ZResult{1} : ZResult{0}};
        });
    }

    void SettleCycles() { std::this_thread::sleep_for(std::chrono::milliseconds(600)); }
};

TEST_F(QueryLoop, PollsTheFirstModuleOfEachChannelEveryTenSeconds) {
    ASSERT_TRUE(app.Subscribed().StartQueryThread());
    // The poll's time is taken when its last request has gone.
    ASSERT_TRUE(WaitUntil([] { return RequestCount(kLastDiagnosticPgn, 0x0B) == 1; }));
    SettleCycles();
    EXPECT_EQ(RequestCount(kPgnDm2, 0x00), 1u);
    hostsim::AdvanceSysTime(10000);
    SettleCycles();
    EXPECT_EQ(RequestCount(kPgnDm2, 0x00), 1u) << "ten seconds are not yet more than ten seconds";
    EXPECT_EQ(RequestCount(kPgnDm2, 0x0B), 1u);
    hostsim::AdvanceSysTime(1);
    EXPECT_TRUE(WaitUntil([] { return RequestCount(kPgnDm2, 0x00) == 2 && RequestCount(kPgnDm2, 0x0B) == 2; }));
    EXPECT_EQ(RequestCount(kPgnDm2, 0x03), 0u) << "a module sharing a channel is not polled";
    // The poll goes through each module's own handle.
    for (const hostsim::Call& call : hostsim::CallsTo(hostsim::names::kSendJ1939Msg)) {
        const bool toEngine = call.Arg(1).find("00 EA 00 06 F9 00") == 0;
        EXPECT_EQ(call.Arg(0), toEngine ? "1" : "3") << call.Arg(1);
    }
}

TEST_F(QueryLoop, KeepsSubscriptionsFreshAsTheyFallDue) {
    app.Modules().FindModule(1)->pgnMap.recordProbe(kFastPgn, 0x00);
    ASSERT_EQ(Subscribe(1, {kFastDp}), 0);
    ASSERT_TRUE(app.Subscribed().StartQueryThread());
    ASSERT_TRUE(WaitUntil([] { return RequestCount(kFastPgn, 0x00) == 1; }));
    SettleCycles();
    EXPECT_EQ(RequestCount(kFastPgn, 0x00), 1u) << "the clock stands still";
    hostsim::AdvanceSysTime(801);
    EXPECT_TRUE(WaitUntil([] { return RequestCount(kFastPgn, 0x00) == 2; }));
}

TEST_F(QueryLoop, EndsWhenDisconnectedAndSaysSoByTheQueryEvent) {
    ASSERT_TRUE(app.Subscribed().StartQueryThread());
    ASSERT_TRUE(WaitUntil([] { return RequestCount(kPgnDm2, 0x00) == 1; }));
    EXPECT_FALSE(shared.QueryEvent().IsSignalled());
    shared.SetConnected(false);
    EXPECT_EQ(shared.QueryEvent().Wait(3000), platform::WaitResult::Signalled);
    EXPECT_FALSE(shared.ExitEvent().IsSignalled());
}

TEST_F(QueryLoop, PutsNothingOnTheBusDuringPlayback) {
    app.Modules().FindModule(1)->pgnMap.recordProbe(kFastPgn, 0x00);
    ASSERT_EQ(Subscribe(1, {kFastDp}), 0);
    app.SetPlaybackStatus(1);
    ASSERT_TRUE(app.Subscribed().StartQueryThread());
    SettleCycles();
    hostsim::AdvanceSysTime(20000);
    SettleCycles();
    EXPECT_TRUE(hostsim::SentMessages().empty());
    EXPECT_FALSE(app.Modules().FindModule(1)->DiagnosticsRequested());
}

}  // namespace
}  // namespace marl::testing
