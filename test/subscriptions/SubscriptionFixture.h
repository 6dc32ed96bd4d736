// The application with a small parameter database of one data point per request class,
// a frozen host clock, and helpers to subscribe, look at the subscription list, run the
// query thread and count the Requests that reached the bus.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "VehicleApp/subscriptions/Subscription.h"
#include "test/discovery/AppUnderTest.h"

namespace marl::testing {

// Data points of the database, by request class.
constexpr TESKID kGlobalDp = 201;     // class 0: global, on demand
constexpr TESKID kGlobalAltDp = 202;  // class 1: global, on demand
constexpr TESKID kOnDemandDp = 203;   // class 4: on demand, at the ECU
constexpr TESKID kSlowDp = 204;       // class 2: every 4.5 s
constexpr TESKID kFastDp = 205;       // class 3: every 0.8 s
constexpr TESKID kGuidedTestDp = 206;
constexpr TESKID kSharedPgnDp = 207;  // on demand at the ECU, same PGN as kGlobalDp

constexpr uint32_t kGlobalPgn = 0xFEEE;
constexpr uint32_t kGlobalAltPgn = 0xFEEF;
constexpr uint32_t kOnDemandPgn = 0xFEF5;
constexpr uint32_t kSlowPgn = 0xFEF6;
constexpr uint32_t kFastPgn = 0xFEF7;
constexpr uint32_t kGuidedTestPgn = 0xFD00;

constexpr uint32_t kStartTime = 1000000;

class SubscriptionTest : public AppTest {
protected:
    void SetUp() override;
    void TearDown() override;

    uint16_t Subscribe(int32_t handle, const std::vector<uint32_t>& teskIds, bool subscribe = true);
    // Copies of the entries (empty slots left out), in list order.
    std::vector<Subscription> Entries();
    // The live entry of a data point, or null.
    std::optional<Subscription> EntryOf(TESKID teskId);

    void StartQueryLoop();
    // Ends the query loop through the exit event; true when it said so by the query event.
    bool StopQueryLoop();
};

// Requests for `pgn` to `destination` that went onto the bus.
size_t RequestCount(uint32_t pgn, uint8_t destination);
// Polls `condition` every 10 ms for up to `timeoutMs`.
bool WaitUntil(const std::function<bool()>& condition, uint32_t timeoutMs = 5000);
// True when a trace line contains `text`.
bool Traced(const std::string& text);

}  // namespace marl::testing
