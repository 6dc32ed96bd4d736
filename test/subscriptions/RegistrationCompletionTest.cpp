// The host's registration-complete command: notification and parsing, the filters of
// all modules, the end of registration's hold, deferred discovery, the one query thread
// and the fuel system's fixed texts.

#include <chrono>

#include "host/ZorvLookup.h"
#include "j1939/Protocol.h"
#include "test/support/VirtualEcu.h"
#include "test/support/SubscriptionTest.h"

namespace marl::testing {
namespace {

constexpr TESKID kDiscoveredDp = 301;
constexpr uint32_t kDiscoveredPgn = 0xFEE5;
constexpr ZUdi kDiscoveryUdi = 77;

uint16_t ZORV_STDCALL ModuleFiveUnregister(int32_t) { return 0; }

class Completion : public SubscriptionTest {
protected:
    void SetUp() override {
        SubscriptionTest::SetUp();
        // Every message is refused at once, so that no request waits for an answer.
        hostsim::SetSendHook([](ZModuleHandle, const std::vector<uint8_t>&) { return ZResult{1}; });
    }
};

TEST_F(Completion, SwitchesTheModuleOnAndInstallsEveryModulesFilter) {
    AddModule(1, 0x00, 1);
    AddModule(2, 0x03, 1);
    AddModule(3, 0x0B, 2);
    app.Subscribed().RegistrationIsComplete(2);

    EXPECT_EQ(ArgOf("Zorv_AddNotifyModule", 0), Texts{"2"});
    EXPECT_EQ(ArgsOf("Zorv_EnableParsing"), (std::vector<Texts>{{"2", "1"}}));

    // The filters in list order (newest first), each through its channel's connection.
    EXPECT_EQ(ArgOf("Zorv_SendCommand", 0), (Texts{"3", "1", "1"}));
    EXPECT_EQ(ArgOf("Zorv_SendCommand", 2), (Texts{"04 00 00 00 00 0B 00", "04 00 00 00 00 03 00", "04 00 00 00 00 00 00"}));
    EXPECT_TRUE(app.Modules().FindModule(2)->RegistrationComplete());
    EXPECT_FALSE(app.Modules().FindModule(1)->RegistrationComplete());

    // Each completion notes whether the host's module five is there.
    EXPECT_FALSE(app.Subscribed().Module5Present());
    hostsim::RegisterModuleFunction(zorv::kEntryUnregisterModule, zorv::kModuleIdFive,
                                    reinterpret_cast<void*>(&ModuleFiveUnregister));
    app.Subscribed().RegistrationIsComplete(2);
    EXPECT_TRUE(app.Subscribed().Module5Present());
}

// Completion ends registration's hold on its own module; an unknown handle changes no
// module and starts nothing.
TEST_F(Completion, EndsRegistrationsHoldOnItsOwnModule) {
    ModuleRecordPtr engine = AddModule(1, 0x00);
    engine->SetBusy(true);
    app.Subscribed().RegistrationIsComplete(9);
    EXPECT_EQ(engine->BusyCount(), 1);
    EXPECT_FALSE(engine->RegistrationComplete());
    EXPECT_FALSE(app.Subscribed().QueryThreadRunning());
    EXPECT_FALSE(TracesWith("EXIT RegistrationIsComplete for module=9.").empty());

    app.Subscribed().RegistrationIsComplete(1);
    EXPECT_TRUE(engine->IdleEvent().IsSignalled());
}

TEST_F(Completion, OnlyTheFirstCompletedModuleStartsTheQueryThread) {
    AddModule(1, 0x00);
    AddModule(2, 0x03);
    app.Subscribed().RegistrationIsComplete(1);
    EXPECT_TRUE(app.Subscribed().QueryThreadRunning());
    app.Subscribed().RegistrationIsComplete(2);
    // Each query thread polls at once on its first cycle; the clock stands still, so a
    // second thread would show as a second poll.
    ASSERT_TRUE(WaitUntil([] { return RequestCount(j1939::kPgnDm2, 0x00) >= 1; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    EXPECT_EQ(RequestCount(j1939::kPgnDm2, 0x00), 1u);
    EXPECT_TRUE(StopQueryLoop());
}

class DeferredDiscovery : public Completion {
protected:
    void SetUp() override {
        Completion::SetUp();
        hostsim::DataPointDefinition discovered = DataPoint(kDiscoveredDp, kDiscoveredPgn, 4);
        discovered.udis = {kDiscoveryUdi};
        hostsim::AddDataPoint(discovered);
        hostsim::SetDiscoveryUdis({kDiscoveryUdi});
        // The ECU answers; the send hook of the fixture gives way to it.
        hostsim::SetSendHook(nullptr);
    }

    void Complete(int32_t productId) {
        ModuleRecordPtr engine = AddModule(1, 0x00);
        hostsim::SetProductId(productId);
        app.Registrations().IdentifyAdapter();
        VirtualEcu ecu(app, 1, 0x00, {kDiscoveredPgn});
        app.Subscribed().RegistrationIsComplete(1);
        ecu.Drain();
        // The query thread must not send into the ECU once it is gone.
        StopQueryLoop();
        EXPECT_EQ(engine->BusyCount(), 0);
        EXPECT_TRUE(engine->RegistrationComplete());
    }

    static size_t DiscoveryLookups() { return CallsWithArg(hostsim::names::kGetFunctionAddress, 0, "0x2214"); }
};

TEST_F(DeferredDiscovery, AnAdapterThatDefersDiscoveryRunsItAndTheVisibilityPassHere) {
    Complete(0x47);
    EXPECT_EQ(DiscoveryLookups(), 1u);
    EXPECT_EQ(RequestCount(kDiscoveredPgn, 0x00), 1u) << "probed once and answered";
    EXPECT_TRUE(app.Modules().FindModule(1)->pgnMap.isSupported(kDiscoveredPgn));
    EXPECT_EQ(Visible({kDiscoveredDp, kFastDp}), (std::vector<bool>{true, false})) << "shown only when the ECU answered";
}

TEST_F(DeferredDiscovery, OtherAdaptersDiscoveredAtRegistrationAlready) {
    Complete(0x10);
    EXPECT_EQ(DiscoveryLookups(), 0u);
    EXPECT_EQ(RequestCount(kDiscoveredPgn, 0x00), 0u);
    EXPECT_EQ(hostsim::CallCount("Zorv_SetDataPointVisible"), 0u);
}

TEST_F(Completion, TheFuelSystemGetsItsFixedTextsOthersDoNot) {
    auto askedForMake = [] { return CallsWithArg("Zorv_GetDPIDbyName", 1, "\"SPN_586\"") != 0; };
    AddModule(1, 0x00);
    app.Subscribed().RegistrationIsComplete(1);
    EXPECT_FALSE(askedForMake());
    AddModule(2, 0x12);
    app.Subscribed().RegistrationIsComplete(2);
    EXPECT_TRUE(askedForMake());
}

}  // namespace
}  // namespace marl::testing
