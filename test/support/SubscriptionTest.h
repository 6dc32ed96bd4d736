// The application with a small parameter database of one data point per request class,
// a frozen host clock, and helpers to subscribe, look at the subscription list and run
// the query thread.
#pragma once

#include <cstdint>
#include <vector>

#include "VehicleApp/subscriptions/Subscription.h"
#include "test/support/AppTest.h"

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
    std::vector<Subscription> Entries() { return app.Subscribed().Entries(); }
    // One field of every entry, in list order.
    template <typename T>
    std::vector<T> Column(T Subscription::*field) {
        std::vector<T> values;
        for (const Subscription& entry : Entries()) values.push_back(entry.*field);
        return values;
    }

    // Ends the query loop through the exit event; true when it said so by the query event.
    bool StopQueryLoop();
};

}  // namespace marl::testing
