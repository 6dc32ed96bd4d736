// A whole module life through the entries only: two modules on channel 1 and one on
// channel 2 register and complete, data points of every request class are subscribed and
// kept fresh on the bus, and everything is unsubscribed and unregistered; a second
// registration builds everything anew.
#include <chrono>

#include "VehicleApp/boundary/AppInstance.h"
#include "VehicleApp/subscriptions/Subscription.h"
#include "host/ZorvApi.h"
#include "test/support/AppTest.h"
#include "test/support/EntryTest.h"

namespace marl::testing {
namespace {

constexpr TESKID kSlowHours = 700;      // class 2: every 4500 ms
constexpr TESKID kFastFuel = 701;       // class 3: every 800 ms
constexpr TESKID kOnDemandId = 702;     // other class: addressed, until answered
constexpr TESKID kGlobalVin = 703;      // class 0: global
constexpr TESKID kGlobalSoftware = 704; // class 1: global
// Subscriptions are kept per data point and destination: the trailer's engine, at the
// same address on the other channel, has a data point of its own.
constexpr TESKID kTrailerHours = 705;
constexpr uint32_t kPgnHours = 65253, kPgnFuel = 65257, kPgnId = 65259, kPgnVin = 65260, kPgnSoftware = 65242;
// In the plug-in's milliseconds, which a test time scale shortens.
constexpr uint32_t kWatchMs = 10600;

// Engine and transmission on channel 1 both answer the VIN; a second engine sits on
// channel 2.
constexpr const char* kTwoChannelTruck = R"({"ecus": [
  {"label": "Engine", "channel": 1, "address": "0x00", "replyDelayMs": 5,
   "name": {"function": 0, "industryGroup": 1}, "default": "nack",
   "pgns": {"65253": {"behaviour": "answer", "data": "80 C4 03 00 FF FF FF FF"},
            "65257": {"behaviour": "answer", "data": "AB 00 00 00 9B 03 03 00"},
            "65259": {"behaviour": "answer", "text": "MRL*E1*1*U*"},
            "65260": {"behaviour": "answer", "text": "1M2TR2407PM004217*"},
            "65242": {"behaviour": "answer", "data": "01 45 43 4D 2A"}}},
  {"label": "Transmission", "channel": 1, "address": "0x03", "replyDelayMs": 5,
   "name": {"function": 3, "industryGroup": 1}, "default": "nack",
   "pgns": {"65260": {"behaviour": "answer", "text": "1M2TR2407PM004217*"}}},
  {"label": "Trailer engine", "channel": 2, "address": "0x00", "replyDelayMs": 5,
   "name": {"function": 0, "industryGroup": 1}, "default": "nack",
   "pgns": {"65253": {"behaviour": "answer", "data": "10 00 00 00 FF FF FF FF"}}}]})";

class LifecycleThroughEntries : public EntryTest {
protected:
    void SetUp() override {
        EntryTest::SetUp();
        hostsim::SetAssignableDefault(false);
        for (auto [teskId, pgn, security] :
             {std::tuple<TESKID, uint32_t, int16_t>{kSlowHours, kPgnHours, 2}, {kFastFuel, kPgnFuel, 3},
              {kOnDemandId, kPgnId, 5}, {kGlobalVin, kPgnVin, 0}, {kGlobalSoftware, kPgnSoftware, 1},
              {kTrailerHours, kPgnHours, 2}})
            hostsim::AddDataPoint(DataPoint(teskId, pgn, security));
        hostsim::AddCategory({3, "RequestPGNs", L"Probe", 0, {kSlowHours, kFastFuel, kOnDemandId}});
        LoadNetwork(kTwoChannelTruck);
    }

    Subscription SubscriptionOf(TESKID teskId) {
        AppLease lease;
        Subscription copy;
        if (!lease) return copy;
        for (const Subscription& entry : lease.App()->Subscribed().Entries()) {
            if (entry.teskId == teskId) copy = entry;
        }
        return copy;
    }
};

TEST_F(LifecycleThroughEntries, ModulesLiveTheirWholeLifeAndGoCleanly) {
    ASSERT_EQ(RegisterWithInfo(1, 0x00, 1), 0);
    ASSERT_EQ(RegisterWithInfo(2, 0x03, 1), 0);
    ASSERT_EQ(RegisterWithInfo(3, 0x00, 2), 0);
    for (int32_t handle : {1, 2, 3}) Complete(handle);

    const uint32_t start = Zorv_GetSysTime();
    auto subscribe = Entry<zorv::FnSubscribeDatapoints>(zorv::kEntrySubscribeDatapoints);
    const uint32_t engineSet[] = {kSlowHours, kFastFuel, kOnDemandId, kGlobalVin, kGlobalSoftware};
    ASSERT_EQ(subscribe(1, engineSet, 5), 0);
    const uint32_t trailerSet[] = {kTrailerHours};
    ASSERT_EQ(subscribe(3, trailerSet, 1), 0);
    platform::SleepMs(kWatchMs);
    auto Of = [start](int channel, uint32_t pgn) { return RequestsSeen(start, channel, pgn); };

    // Class 3 every 800 ms and class 2 every 4500 ms, addressed to the engine; a skipped
    // period would show as twice the period.
    for (const auto& [pgn, period, atLeast, atMost] :
         {std::tuple<uint32_t, uint32_t, size_t, size_t>{kPgnFuel, 800, 8, 14}, {kPgnHours, 4500, 2, 4}}) {
        const auto seen = Of(1, pgn);
        ASSERT_GE(seen.size(), atLeast) << pgn;
        EXPECT_LE(seen.size(), atMost) << pgn;
        for (size_t i = 1; i < seen.size(); ++i) {
            EXPECT_EQ(seen[i].destination, 0x00);
            EXPECT_GE(seen[i].timeMs - seen[i - 1].timeMs, period) << pgn;
            // How late a request may come is a matter of real time: under a test time
            // scale the machine's load decides it.
            if (platform::TimeScale() == 1) {
                EXPECT_LT(seen[i].timeMs - seen[i - 1].timeMs, 2 * period) << pgn;
            }
        }
    }
    // The trailer's engine sits at the same address on channel 2: the engine's requests on
    // channel 1 do not serve it, so it keeps its own 4500 ms rhythm.
    EXPECT_GE(Of(2, kPgnHours).size(), 2u) << "the channel 2 module sends on its own connection";

    // Classes 0 and 1 go to everyone, and every ECU's answer reaches the subscription.
    EXPECT_EQ(SubscriptionOf(kGlobalVin).responder, kSeveralResponders) << "engine and transmission both answered";
    EXPECT_EQ(SubscriptionOf(kGlobalSoftware).responder, 0x00);

    // Unsubscribe and unregister: the last unregistration returns within a pause or so,
    // releases the tool's address and takes both objects with it.
    auto unsubscribe = Entry<zorv::FnSubscribeDatapoints>(zorv::kEntryUnsubscribeDatapoints);
    EXPECT_EQ(unsubscribe(1, engineSet, 5), 0);
    EXPECT_EQ(unsubscribe(3, trailerSet, 1), 0);
    EXPECT_EQ(SubscriptionOf(kFastFuel).teskId, 0u) << "unsubscribed";
    auto unregister = Entry<zorv::FnModuleHandleOnly>(zorv::kEntryUnregisterModule);
    EXPECT_EQ(unregister(2), 0);
    EXPECT_EQ(unregister(3), 0);
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(unregister(1), 0);
    handles_.clear();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(5)) << "no wait for a time-out";
    EXPECT_EQ(hostsim::CallCount(hostsim::names::kUnclaimBusAddress), 2u) << "once per connection, with its last module";
    EXPECT_FALSE(AppExists()) << "the last unregistration destroys the application object and the shared state";
    const size_t requestsAfterEnd = RequestsSeen(start).size();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(RequestsSeen(start).size(), requestsAfterEnd) << "no thread of the plug-in is left sending";

    // A new registration builds everything anew, query thread included.
    ASSERT_EQ(RegisterWithInfo(1, 0x00, 1), 0);
    Complete(1);
    const uint32_t again = Zorv_GetSysTime();
    ASSERT_EQ(subscribe(1, engineSet, 2), 0);
    // Two fast-class requests come within about 1.6 s of the plug-in's time; a loaded
    // machine gets more room than that.
    EXPECT_TRUE(WaitUntil([again] { return RequestsSeen(again, 1, kPgnFuel).size() >= 2; }, 10000));
}

}  // namespace
}  // namespace marl::testing
