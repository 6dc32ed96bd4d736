// The subscription entries as the host calls them: where each request class sends its
// requests, re-subscribing, unsubscribing, the early answers, guided tests and the wait
// for a module that is still discovering.

#include <chrono>

#include "test/support/SubscriptionTest.h"

namespace marl::testing {
namespace {

using Clock = std::chrono::steady_clock;

TEST_F(SubscriptionTest, GlobalClassesAreRequestedGloballyWhateverTheModule) {
    ModuleRecordPtr transmission = AddModule(1, 0x03);
    transmission->pgnMap.recordProbe(kGlobalPgn, 0x03);
    ASSERT_EQ(Subscribe(1, {kGlobalDp, kGlobalAltDp}), 0);

    EXPECT_EQ(Column(&Subscription::teskId), (std::vector<TESKID>{kGlobalDp, kGlobalAltDp}));
    EXPECT_EQ(Column(&Subscription::pgn), (std::vector<uint32_t>{kGlobalPgn, kGlobalAltPgn}));
    EXPECT_EQ(Column(&Subscription::destination), (std::vector<uint8_t>{0xFF, 0xFF}));
    EXPECT_EQ(Column(&Subscription::security), (std::vector<int16_t>{0, 1}));
    EXPECT_EQ(Column(&Subscription::moduleHandle), (std::vector<int32_t>{1, 1}));
    EXPECT_EQ(Column(&Subscription::responder), (std::vector<int32_t>{kNoResponder, kNoResponder}));
    EXPECT_EQ(Column(&Subscription::repeatUntilCount), (std::vector<bool>{false, false})) << "only adapters that defer discovery repeat";
    EXPECT_FALSE(TracesWith("CVehicleApp::UpdateDatapointSubscriptions (Line 2271) teskId:201").empty());
    EXPECT_FALSE(TracesWith("CVehicleApp::UpdateDatapointSubscriptions (Line 2302) teskId:201 for SA:3 security:0").empty());
}

TEST_F(SubscriptionTest, OtherClassesGoWhereThePgnWasLastHeardFrom) {
    ModuleRecordPtr engine = AddModule(1, 0x00);
    engine->pgnMap.recordProbe(kOnDemandPgn, 0x17);
    engine->pgnMap.recordPgn(kFastPgn);
    // The host cannot name the PGN of the third one: it keeps the address before it.
    hostsim::QueueResults("Zorv_GetPIDForTESKID", {0, 0, 1});
    ASSERT_EQ(Subscribe(1, {kFastDp, kOnDemandDp, kSlowDp}), 0);
    ASSERT_EQ(Subscribe(1, {kSlowDp}), 0);

    const auto entries = Entries();
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].destination, 0x00) << "recorded from the module's own address";
    EXPECT_EQ(entries[1].destination, 0x17);
    EXPECT_EQ(entries[2].teskId, kSlowDp);
    EXPECT_EQ(entries[2].destination, 0x17);
    EXPECT_EQ(entries[3].teskId, kSlowDp);
    EXPECT_EQ(entries[3].destination, 0x00) << "a PGN never heard of is asked of the module, not of the null address";
}

TEST_F(SubscriptionTest, SubscribingAgainRearmsTheOneEntryAndOneUnsubscribeRemovesIt) {
    AddCompletedModule(1, 0x00)->pgnMap.recordProbe(kOnDemandPgn, 0x00);
    ASSERT_EQ(Subscribe(1, {kOnDemandDp}), 0);
    app.Subscribed().QuerySubscribedDatapoints();
    Receive(1, Message(kOnDemandPgn, 0x00));
    ASSERT_EQ(Column(&Subscription::requestCount), std::vector<uint32_t>{1});
    ASSERT_EQ(Column(&Subscription::responder), std::vector<int32_t>{0x00});

    ASSERT_EQ(Subscribe(1, {kOnDemandDp}), 0);
    EXPECT_EQ(Column(&Subscription::requestCount), std::vector<uint32_t>{0});
    EXPECT_EQ(Column(&Subscription::responder), std::vector<int32_t>{kNoResponder});

    ASSERT_EQ(Subscribe(1, {kOnDemandDp}, false), 0);
    EXPECT_TRUE(Entries().empty());
}

TEST_F(SubscriptionTest, UnsubscribingWhatIsNotSubscribedChangesNothing) {
    AddModule(1, 0x00)->pgnMap.recordProbe(kOnDemandPgn, 0x00);
    ASSERT_EQ(Subscribe(1, {kOnDemandDp, kGlobalDp}), 0);
    ASSERT_EQ(Subscribe(1, {kFastDp, 999}, false), 0);
    ASSERT_EQ(Entries().size(), 2u);

    // The same data point, but its PGN is now heard from another ECU: another entry.
    app.Modules().FindModule(1)->pgnMap.recordProbe(kOnDemandPgn, 0x03);
    ASSERT_EQ(Subscribe(1, {kOnDemandDp}, false), 0);
    EXPECT_EQ(Column(&Subscription::teskId), (std::vector<TESKID>{kOnDemandDp, kGlobalDp}));
    EXPECT_EQ(Column(&Subscription::destination), (std::vector<uint8_t>{0x00, 0xFF}));
}

TEST_F(SubscriptionTest, ACountBelowOneAsSixteenBitsListsNothing) {
    AddModule(1, 0x00);
    const uint32_t ids[] = {kGlobalDp, kFastDp};
    // 0x10000 reads as 0 and 0x18000 as negative.
    for (int32_t count : {0, -1, 0x10000, 0x18000}) EXPECT_EQ(app.Subscribed().UpdateDatapointSubscriptions(1, ids, count, true), 0);
    EXPECT_EQ(hostsim::CallCount("Zorv_GetDPAttributes"), 0u);
    EXPECT_TRUE(Entries().empty());

    EXPECT_EQ(app.Subscribed().UpdateDatapointSubscriptions(1, ids, 0x10001, true), 0) << "reads as 1";
    EXPECT_EQ(Column(&Subscription::teskId), std::vector<TESKID>{kGlobalDp});
}

TEST_F(SubscriptionTest, EarlyAnswersAndAnExitLeaveTheListAlone) {
    AddModule(1, 0x00);
    EXPECT_EQ(app.Subscribed().UpdateDatapointSubscriptions(1, nullptr, 1, true), 6);
    EXPECT_EQ(app.Subscribed().UpdateDatapointSubscriptions(1, nullptr, 1, false), 6);
    EXPECT_EQ(Subscribe(9, {kGlobalDp}), 7);
    EXPECT_EQ(Subscribe(9, {kGlobalDp}, false), 7);
    EXPECT_TRUE(Entries().empty());

    ASSERT_EQ(Subscribe(1, {kGlobalDp}), 0);
    app.SetPlaybackStatus(1);
    EXPECT_EQ(Subscribe(1, {kFastDp}), 0);
    EXPECT_EQ(Subscribe(1, {kGlobalDp}, false), 0);
    EXPECT_EQ(app.Subscribed().UpdateDatapointSubscriptions(1, nullptr, 1, true), 0) << "playback is asked first";

    app.SetPlaybackStatus(0);
    shared.ExitEvent().Set();
    hostsim::ClearCalls();
    EXPECT_EQ(Subscribe(1, {kFastDp, kSlowDp}), 0) << "an exit stops the list with success";
    EXPECT_EQ(hostsim::CallCount("Zorv_GetDPAttributes"), 0u);
    EXPECT_EQ(Column(&Subscription::teskId), std::vector<TESKID>{kGlobalDp});
}

TEST_F(SubscriptionTest, AGuidedTestDataPointStartsTheTestAndEndsTheList) {
    AddModule(3, 0x00)->pgnMap.recordProbe(kOnDemandPgn, 0x00);
    app.GuidedTests().AbortTestEvent().Set();
    app.GuidedTests().ExitTestEvent().Set();

    ASSERT_EQ(Subscribe(3, {kGuidedTestDp, kGlobalDp}), 0);
    EXPECT_TRUE(Entries().empty()) << "nothing after the test's data point is subscribed";
    EXPECT_EQ(app.GuidedTests().LastGuidedTest().moduleHandle, 3);
    EXPECT_EQ(app.GuidedTests().LastGuidedTest().teskId, kGuidedTestDp);
    EXPECT_FALSE(app.GuidedTests().AbortTestEvent().IsSignalled());
    app.GuidedTests().JoinAll();

    ASSERT_EQ(Subscribe(3, {kOnDemandDp, kGuidedTestDp, kGlobalDp}), 0);
    EXPECT_EQ(Column(&Subscription::teskId), std::vector<TESKID>{kOnDemandDp});

    // Unsubscribing the test's data point starts nothing and ends the list all the same.
    app.GuidedTests().ExitTestEvent().Set();
    ASSERT_EQ(Subscribe(3, {kGuidedTestDp, kOnDemandDp}, false), 0);
    EXPECT_TRUE(app.GuidedTests().ExitTestEvent().IsSignalled());
    EXPECT_EQ(Entries().size(), 1u);
}

TEST_F(SubscriptionTest, ABusyModuleIsWaitedForUntilItsDiscoveryEnds) {
    ModuleRecordPtr engine = AddModule(1, 0x00);
    ASSERT_EQ(Subscribe(1, {kGlobalDp}), 0);
    EXPECT_TRUE(TracesWith("Completed Waiting").empty()) << "an idle module is not waited for";

    engine->SetBusy(true);
    std::thread discovery([engine] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        engine->SetBusy(false);
    });
    const auto start = Clock::now();
    EXPECT_EQ(Subscribe(1, {kFastDp}), 0);
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    discovery.join();
    EXPECT_GE(waited, 150);
    EXPECT_LT(waited, 5000);
    EXPECT_FALSE(TracesWith("Completed Waiting for PGN List Build to complete (Module ID: 1)").empty());
    EXPECT_EQ(Entries().size(), 2u);
}

}  // namespace
}  // namespace marl::testing
