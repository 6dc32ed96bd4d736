#include "test/support/SubscriptionTest.h"

namespace marl::testing {

void SubscriptionTest::SetUp() {
    AppTest::SetUp();
    for (const hostsim::DataPointDefinition& dp :
         {DataPoint(kGlobalDp, kGlobalPgn, 0), DataPoint(kGlobalAltDp, kGlobalAltPgn, 1),
          DataPoint(kOnDemandDp, kOnDemandPgn, 4), DataPoint(kSlowDp, kSlowPgn, 2), DataPoint(kFastDp, kFastPgn, 3),
          DataPoint(kGuidedTestDp, kGuidedTestPgn, 0, 2), DataPoint(kSharedPgnDp, kGlobalPgn, 4)})
        hostsim::AddDataPoint(dp);
    hostsim::SetSysTime(kStartTime);
}

void SubscriptionTest::TearDown() {
    StopQueryLoop();
    AppTest::TearDown();
}

uint16_t SubscriptionTest::Subscribe(int32_t handle, const std::vector<uint32_t>& teskIds, bool subscribe) {
    return app.Subscribed().UpdateDatapointSubscriptions(handle, teskIds.data(), static_cast<int32_t>(teskIds.size()),
                                                         subscribe);
}

bool SubscriptionTest::StopQueryLoop() {
    shared.ExitEvent().Set();
    const bool ended = app.Subscribed().WaitForQueryThread(5000);
    app.Subscribed().StopQueryThread();
    return ended;
}

}  // namespace marl::testing
