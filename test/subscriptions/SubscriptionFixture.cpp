#include "test/subscriptions/SubscriptionFixture.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace marl::testing {

void SubscriptionTest::SetUp() {
    AppTest::SetUp();
    hostsim::AddDataPoint(DataPoint(kGlobalDp, kGlobalPgn, 0));
    hostsim::AddDataPoint(DataPoint(kGlobalAltDp, kGlobalAltPgn, 1));
    hostsim::AddDataPoint(DataPoint(kOnDemandDp, kOnDemandPgn, 4));
    hostsim::AddDataPoint(DataPoint(kSlowDp, kSlowPgn, 2));
    hostsim::AddDataPoint(DataPoint(kFastDp, kFastPgn, 3));
    hostsim::AddDataPoint(DataPoint(kGuidedTestDp, kGuidedTestPgn, 0, 2));
    hostsim::AddDataPoint(DataPoint(kSharedPgnDp, kGlobalPgn, 4));
    hostsim::SetSysTime(kStartTime);
}

void SubscriptionTest::TearDown() {
    StopQueryLoop();
    AppTest::TearDown();
}

uint16_t SubscriptionTest::Subscribe(int32_t handle, const std::vector<uint32_t>& teskIds, bool subscribe) {
    return app.Subscribed().UpdateDatapointSubscriptions(handle, teskIds.data(), static_cast<int32_t>(teskIds.size()), subscribe);
}

std::vector<Subscription> SubscriptionTest::Entries() { return app.Subscribed().Entries(); }

std::optional<Subscription> SubscriptionTest::EntryOf(TESKID teskId) {
    for (const Subscription& entry : Entries()) {
        if (entry.teskId == teskId) return entry;
    }
    return std::nullopt;
}

void SubscriptionTest::StartQueryLoop() { app.Subscribed().StartQueryThread(); }

bool SubscriptionTest::StopQueryLoop() {
    shared.ExitEvent().Set();
    const bool ended = app.Subscribed().WaitForQueryThread(5000);
    app.Subscribed().StopQueryThread();
    return ended;
}

size_t RequestCount(uint32_t pgn, uint8_t destination) {
    const auto requests = SentRequests();
    return static_cast<size_t>(std::count(requests.begin(), requests.end(), std::make_pair(pgn, destination)));
}

bool WaitUntil(const std::function<bool()>& condition, uint32_t timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

bool Traced(const std::string& text) {
    for (const hostsim::TraceLine& line : hostsim::Traces()) {
        if (line.text.find(text) != std::string::npos) return true;
    }
    return false;
}

}  // namespace marl::testing
