// The settling time after probing, in real time: 2 s once the ECU answered, 10 s when it
// did not, 20 s for the ECU at 0x33, each cut short by the exit event. The three modules
// settle side by side, so the whole program takes about as long as the longest wait.

#include <chrono>

#include "test/support/AppTest.h"
#include "VehicleApp/receive/Categories.h"
#include "platform/Platform.h"

namespace marl::testing {
namespace {

using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// Real time is the point here; the configurations that speed the clock up leave it out.
class SettleTimeTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        if (platform::TimeScale() != 1) GTEST_SKIP() << "the settling times are checked at real time only";
    }
};

TEST_F(SettleTimeTest, SettlingDependsOnAnswersAndOnTheSlowEcu) {
    // No PGNs to probe: the passes cost their 100 ms pauses only (three of them).
    ModuleRecordPtr answered = AddModule(1, 0x00, 1);
    ModuleRecordPtr silent = AddModule(2, 0x03, 2);
    ModuleRecordPtr slow = AddModule(3, 0x33, 3);
    answered->pgnMap.recordResponse(0xFEEC, false);

    long long answeredMs = 0, silentMs = 0, slowMs = 0;
    const Clock::time_point start = Clock::now();
    auto settle = [this, start](ModuleRecordPtr module, long long& elapsed) {
        EXPECT_EQ(app.Discoveries().BuildAndRequestSupportedPgns(module.get()), 0);
        elapsed = MsSince(start);
    };
    std::thread first(settle, answered, std::ref(answeredMs));
    std::thread second(settle, silent, std::ref(silentMs));
    std::thread third(settle, slow, std::ref(slowMs));
    // Past the 10 s of an ordinary silent ECU, well short of the slow one's 20 s.
    constexpr long long kExitAtMs = 14000;
    std::this_thread::sleep_for(std::chrono::milliseconds(kExitAtMs));
    shared.ExitEvent().Set();
    first.join();
    second.join();
    third.join();

    // Each upper bound lies well short of what the next longer wait would take.
    EXPECT_GE(answeredMs, 2000);
    EXPECT_LT(answeredMs, 8000) << "an answer shortens the settling";
    EXPECT_GE(silentMs, 10000);
    EXPECT_LT(silentMs, kExitAtMs - 500) << "only the ECU at 0x33 waits 20 s";
    EXPECT_GE(slowMs, kExitAtMs);
    EXPECT_LT(slowMs, 19000) << "the exit event ends the 20 s wait";
    EXPECT_TRUE(answered->pgnMap.isSupported(0xFECD));
    EXPECT_FALSE(silent->pgnMap.contains(0xFECD));
}

// A vehicle-information PGN the ECU never answers ends the walk with result 10 after its
// three attempts of 1250 ms; the PGNs behind it are not asked for.
TEST_F(SettleTimeTest, UnansweredVehicleInfoPgnEndsTheWalk) {
    hostsim::AddDataPoint(DataPoint(201, 0xFEEC));
    hostsim::AddDataPoint(DataPoint(202, 0xFEEB));
    hostsim::AddCategory(Category(7, "Vehicle Info", {201, 202}));
    app.Receiver().ClassifyCategories(1);
    ModuleRecordPtr engine = AddModule(1, 0x00);

    const Clock::time_point start = Clock::now();
    EXPECT_EQ(app.Discoveries().BuildVehicleInfoPgnList(*engine), 10);
    EXPECT_GE(MsSince(start), 3750);
    EXPECT_EQ(SentRequests(), (Requests{{0xFEEC, 0}, {0xFEEC, 0}, {0xFEEC, 0}}));
    EXPECT_TRUE(HasTrace(2, "CVehicleApp::BuildVehicleInfoPgnList (Line 1899)", 10));
}

}  // namespace
}  // namespace marl::testing
