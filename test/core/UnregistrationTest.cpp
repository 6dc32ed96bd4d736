// Unregistration and disconnect: what is waited for, what is released, what is told.

#include <chrono>

#include "test/support/AppTest.h"

namespace marl::testing {
namespace {

using Clock = std::chrono::steady_clock;
using Unregistration = AppTest;

TEST_F(Unregistration, AnUnknownHandleChangesNothing) {
    AddModule(1, 0x00);
    EXPECT_EQ(app.Registrations().UnregisterModule(9), 0);
    EXPECT_FALSE(shared.ExitEvent().IsSignalled()) << "the remaining module must keep working";
    EXPECT_EQ(app.Modules().Count(), 1);
    EXPECT_EQ(hostsim::CallCount(hostsim::names::kUnclaimBusAddress), 0u);
    EXPECT_EQ(hostsim::CallCount("Zorv_EnableParsing"), 0u);
    EXPECT_EQ(app.Sender().RequestPgn(1, 0xFEEC, 0x00, false, 0, 1), 0);
    EXPECT_EQ(hostsim::SentMessages().size(), 1u) << "its requests still go out";
    EXPECT_EQ(app.Registrations().UnregisterModule(0), 5);
    EXPECT_EQ(app.Registrations().UnregisterModule(300), 5);
}

TEST_F(Unregistration, TheToolAddressIsReleasedWithTheLastModuleOfItsConnection) {
    AddModule(1, 0x00, 1);
    AddModule(2, 0x03, 1);
    AddModule(3, 0x00, 2);
    EXPECT_EQ(app.Registrations().UnregisterModule(1), 0);
    EXPECT_EQ(hostsim::CallCount(hostsim::names::kUnclaimBusAddress), 0u) << "module 2 still uses connection 1";
    EXPECT_FALSE(shared.ExitEvent().IsSignalled());
    EXPECT_EQ(app.Registrations().UnregisterModule(2), 0);
    EXPECT_EQ(ArgOf(hostsim::names::kUnclaimBusAddress, 0), Texts{"1"}) << "the address is released on the channel's connection";
    EXPECT_EQ(app.Modules().SendHandles(), std::vector<int32_t>{3}) << "connection 1 is not polled any more";
}

// Missing host functions are traced and do not stop the last module's unregistration.
TEST_F(Unregistration, ReleasesAndStopsEverythingForTheModule) {
    AddModule(1, 0x00);
    AddModule(2, 0x03);
    EXPECT_EQ(app.Registrations().UnregisterModule(2), 0);
    EXPECT_FALSE(shared.ExitEvent().IsSignalled()) << "module 1 is still registered";
    EXPECT_EQ(app.Modules().FindModule(2), nullptr);
    EXPECT_EQ(ArgsOf("Zorv_EnableParsing"), (std::vector<Texts>{{"2", "0"}}));
    EXPECT_EQ(hostsim::CallCount("Zorv_RemoveNotifyModule"), 1u);
    EXPECT_EQ(ArgOf(hostsim::names::kClearFaultList, 0), Texts{"2"});

    hostsim::RemoveLookup(zorv::kLookupUnclaimBusAddress);
    hostsim::RemoveLookup(zorv::kLookupClearFaultList);
    EXPECT_EQ(app.Registrations().UnregisterModule(1), 0);
    EXPECT_EQ(app.Modules().FindModule(1), nullptr);
    EXPECT_EQ(app.FaultCodes().ClearDataManagerFaultCodeList(1), 20);
}

TEST_F(Unregistration, LastModuleWaitsForBusyWorkAndTheQueryThread) {
    auto rec = AddModule(1, 0x00);
    rec->SetBusy(true);
    ASSERT_TRUE(app.Subscribed().StartQueryThread());
    std::thread discovery([rec] {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        rec->SetBusy(false);
    });
    const auto start = Clock::now();
    EXPECT_EQ(app.Registrations().UnregisterModule(1), 0);
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    discovery.join();
    EXPECT_GE(waited, 120) << "it must wait for the busy module";
    EXPECT_TRUE(shared.QueryEvent().IsSignalled()) << "it must wait for the query thread's end";
    EXPECT_EQ(rec->BusyCount(), 0);
}

// A module whose registration failed is never let go by its discovery; waiting for it
// would hold unregistration for the whole busy time-out of 20 s.
TEST_F(Unregistration, FailedRegistrationIsRemovedAtOnceButStillReleasesTheAddress) {
    auto rec = AddModule(1, 0x00);
    rec->SetBusy(true);
    rec->MarkRegistrationFailed();
    const auto start = Clock::now();
    EXPECT_EQ(app.Registrations().UnregisterModule(1), 0);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(hostsim::CallCount(hostsim::names::kUnclaimBusAddress), 1u);
    EXPECT_EQ(app.Modules().FindModule(1), nullptr);
}

TEST_F(Unregistration, PlaybackWaitsForNothingAndReleasesNothing) {
    AddModule(1, 0x00)->SetBusy(true);
    app.SetPlaybackStatus(1);
    EXPECT_EQ(app.Registrations().UnregisterModule(1), 0);
    EXPECT_EQ(hostsim::CallCount(hostsim::names::kUnclaimBusAddress), 0u);
    EXPECT_EQ(app.Modules().FindModule(1), nullptr);
}

TEST_F(Unregistration, DisconnectNotifiesOnlyModulesSharingAConnectionExceptInPlayback) {
    AddModule(1, 0x00, 1);
    AddModule(2, 0x03, 1);
    AddModule(3, 0x00, 2);
    app.SetConnected(true);
    app.SetPlaybackStatus(1);
    EXPECT_EQ(app.Registrations().NotifyDisconnect(1), 0);
    EXPECT_EQ(hostsim::CallCount("Zorv_ClientConnectionNotify"), 0u);
    EXPECT_TRUE(shared.ConnectedEvent().IsSignalled());

    app.SetPlaybackStatus(0);
    EXPECT_EQ(app.Registrations().NotifyDisconnect(1), 0);
    EXPECT_EQ(ArgsOf("Zorv_ClientConnectionNotify"), (std::vector<Texts>{{"2", "1"}}));
    EXPECT_FALSE(shared.ConnectedEvent().IsSignalled());
    EXPECT_FALSE(app.Connected());
    EXPECT_EQ(app.Registrations().NotifyDisconnect(-4), 5);
}

}  // namespace
}  // namespace marl::testing
