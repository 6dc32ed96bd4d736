// One pass of the query thread over the subscriptions, with the host clock frozen so
// that the test decides when a request falls due. Each request is followed by a real
// 100-ms pause.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "VehicleApp/core/SharedState.h"
#include "test/discovery/VirtualEcu.h"
#include "test/subscriptions/SubscriptionFixture.h"

namespace marl::testing {
namespace {

using Clock = std::chrono::steady_clock;

class QueryPass : public SubscriptionTest {
protected:
    ModuleRecordPtr engine;

    void SetUp() override {
        SubscriptionTest::SetUp();
        engine = AddModule(1, 0x00);
        engine->registrationComplete = true;
        for (uint32_t pgn : {kOnDemandPgn, kSlowPgn, kFastPgn, kGlobalPgn}) engine->pgnMap.recordProbe(pgn, 0x00);
    }

    // Passes at the given offsets from the start time; the number of Requests for `pgn`
    // to the engine after each.
    std::vector<size_t> PassesAt(const std::vector<uint32_t>& offsets, uint32_t pgn) {
        std::vector<size_t> counts;
        for (uint32_t offset : offsets) {
            hostsim::SetSysTime(kStartTime + offset);
            app.QuerySubscribedDatapoints();
            counts.push_back(RequestCount(pgn, 0x00));
        }
        return counts;
    }
};

TEST_F(QueryPass, PeriodicClassesAreRequestedAtTheirPace) {
    ASSERT_EQ(Subscribe(1, {kSlowDp, kFastDp}), 0);
    EXPECT_EQ(PassesAt({0, 0, 800, 801, 1601, 1602}, kFastPgn), (std::vector<size_t>{1, 1, 1, 2, 2, 3}));
    EXPECT_EQ(RequestCount(kSlowPgn, 0x00), 1u);
    EXPECT_EQ(PassesAt({4500, 4501}, kSlowPgn), (std::vector<size_t>{1, 2}));
    EXPECT_TRUE(Traced("CVehicleApp::QuerySubscribedDatapoints (Line 2411): Requesting PGN:00FEF7"));
    // The requests go out on the connection of the channel.
    for (const hostsim::Call& call : hostsim::CallsTo(hostsim::names::kSendJ1939Msg)) EXPECT_EQ(call.Arg(0), "1");
}

TEST_F(QueryPass, AnAnsweredOnDemandEntryIsNotRequestedAgain) {
    VirtualEcu ecu(app, 1, 0x00);
    ecu.Answer(kOnDemandPgn);
    ASSERT_EQ(Subscribe(1, {kOnDemandDp}), 0);
    EXPECT_EQ(PassesAt({0}, kOnDemandPgn), (std::vector<size_t>{1}));
    ecu.Drain();
    EXPECT_EQ(EntryOf(kOnDemandDp)->responder, 0x00);
    EXPECT_EQ(PassesAt({801, 1602, 2403}, kOnDemandPgn), (std::vector<size_t>{1, 1, 1}));

    // Subscribing again makes it due at once.
    ASSERT_EQ(Subscribe(1, {kOnDemandDp}), 0);
    EXPECT_EQ(PassesAt({2403}, kOnDemandPgn), (std::vector<size_t>{2}));
}

TEST_F(QueryPass, AnUnansweredOnDemandEntryIsRequestedThreeTimes) {
    ASSERT_EQ(Subscribe(1, {kOnDemandDp}), 0);
    EXPECT_EQ(PassesAt({0, 800, 801, 1601, 1602, 2403, 9000}, kOnDemandPgn),
              (std::vector<size_t>{1, 1, 2, 2, 3, 3, 3}));
    EXPECT_EQ(EntryOf(kOnDemandDp)->requestCount, 3u);
}

TEST_F(QueryPass, RepeatUntilCountAsksThreeTimes800msApartDespiteTheAnswer) {
    app.productId = 0x47;
    VirtualEcu ecu(app, 1, 0x00);
    ecu.Answer(kOnDemandPgn);
    ASSERT_EQ(Subscribe(1, {kOnDemandDp}), 0);
    EXPECT_EQ(PassesAt({0}, kOnDemandPgn), (std::vector<size_t>{1}));
    ecu.Drain();
    EXPECT_EQ(EntryOf(kOnDemandDp)->responder, 0x00);
    EXPECT_EQ(PassesAt({800, 801, 1601, 1602, 2403, 9000}, kOnDemandPgn), (std::vector<size_t>{1, 2, 2, 3, 3, 3}));
}

TEST_F(QueryPass, AGlobalRequestCountsForEverySubscriptionOfItsPgn) {
    ASSERT_EQ(Subscribe(1, {kGlobalDp, kSharedPgnDp}), 0);
    app.QuerySubscribedDatapoints();
    EXPECT_EQ(RequestCount(kGlobalPgn, 0xFF), 1u);
    EXPECT_EQ(RequestCount(kGlobalPgn, 0x00), 0u) << "the engine was asked by the global request";
    EXPECT_EQ(EntryOf(kSharedPgnDp)->requestCount, 1u);
}

TEST_F(QueryPass, EntriesOfAModuleThatIsGoneAreSkipped) {
    ModuleRecordPtr transmission = AddModule(2, 0x03);
    transmission->pgnMap.recordProbe(kFastPgn, 0x03);
    ASSERT_EQ(Subscribe(2, {kFastDp}), 0);
    ASSERT_EQ(Subscribe(1, {kSlowDp}), 0);
    app.RemoveModuleRecord(2);
    app.QuerySubscribedDatapoints();
    EXPECT_EQ(RequestCount(kFastPgn, 0x03), 0u);
    EXPECT_EQ(EntryOf(kFastDp)->requestCount, 0u);
    EXPECT_EQ(RequestCount(kSlowPgn, 0x00), 1u) << "the entries after it are still served";
}

TEST_F(QueryPass, NothingIsRequestedWhenDisconnectedOrExiting) {
    ASSERT_EQ(Subscribe(1, {kFastDp}), 0);
    shared.SetConnected(false);
    app.QuerySubscribedDatapoints();
    EXPECT_TRUE(hostsim::SentMessages().empty());
    shared.SetConnected(true);
    shared.ExitEvent().Set();
    app.QuerySubscribedDatapoints();
    EXPECT_TRUE(hostsim::SentMessages().empty());
}

// While another exchange holds the send lock awaiting its answer, the query pass waits
// for that lock. The receive thread must still get the subscription lock meanwhile, or
// the awaited answer could not arrive.
TEST_F(QueryPass, AWaitingRequestDoesNotHoldUpTheReceiveThread) {
    ASSERT_EQ(Subscribe(1, {kOnDemandDp}), 0);
    std::atomic<bool> locked{false};
    std::atomic<bool> received{false};
    std::thread exchange([&] {
        platform::CsLock lock(app.SendLock());
        locked = true;
        const auto deadline = Clock::now() + std::chrono::seconds(3);
        while (!received.load() && Clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    });
    ASSERT_TRUE(WaitUntil([&] { return locked.load(); }));
    std::thread pass([this] { app.QuerySubscribedDatapoints(); });
    ASSERT_TRUE(WaitUntil([] { return Traced("Requesting PGN:00FEF5"); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));

    const auto start = Clock::now();
    Receive(1, Message(kOnDemandPgn, 0x00, {1, 2, 3, 4, 5, 6, 7, 8}));
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    received = true;
    exchange.join();
    pass.join();
    EXPECT_LT(took, 1000);
    EXPECT_EQ(EntryOf(kOnDemandDp)->responder, 0x00);
    EXPECT_EQ(RequestCount(kOnDemandPgn, 0x00), 1u);
}

}  // namespace
}  // namespace marl::testing
