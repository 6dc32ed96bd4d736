// Hiding data points whose value reads as not available.
#include <gtest/gtest.h>

#include <string>

#include "VehicleApp/discovery/NotAvailableValues.h"
#include "hostsim/HostSim.h"

namespace marl {
namespace {

constexpr int32_t kHandle = 1;

hostsim::DataPointDefinition Shown(TESKID teskId, const std::wstring& value) {
    hostsim::DataPointDefinition described;
    described.teskId = teskId;
    described.name = "DP_" + std::to_string(teskId);
    described.attribute.pgn = 0xFEEE;
    described.valueText = value;
    described.visible = true;
    return described;
}

class NotAvailableValuesTest : public ::testing::Test {
protected:
    void SetUp() override {
        hostsim::Reset();
        hostsim::SetResourceString(L"NotAvailable", L"Nicht verf\u00FCgbar");
    }
    void TearDown() override { hostsim::Reset(); }

    // The TESKIDs whose value text the pass asked for.
    std::vector<std::string> Examined() {
        std::vector<std::string> teskIds;
        for (const hostsim::Call& call : hostsim::CallsTo("Zorv_GetDataPointValueStr")) teskIds.push_back(call.Arg(1));
        return teskIds;
    }
};

TEST_F(NotAvailableValuesTest, HidesTheLocalizedAndTheFixedNotAvailableText) {
    hostsim::AddDataPoint(Shown(1, L"N/A"));
    hostsim::AddDataPoint(Shown(2, L"Nicht verf\u00FCgbar"));
    hostsim::AddDataPoint(Shown(3, L"42 km/h"));
    hostsim::AddDataPoint(Shown(4, L"n/a"));
    hostsim::AddDataPoint(Shown(5, L"N/A "));
    hostsim::AddDataPoint(Shown(6, L""));
    HideNotAvailableValues(kHandle);
    EXPECT_FALSE(hostsim::DataPoint(1).visible);
    EXPECT_FALSE(hostsim::DataPoint(2).visible);
    EXPECT_TRUE(hostsim::DataPoint(3).visible);
    EXPECT_TRUE(hostsim::DataPoint(4).visible) << "the comparison is exact";
    EXPECT_TRUE(hostsim::DataPoint(5).visible);
    EXPECT_TRUE(hostsim::DataPoint(6).visible);
    for (const hostsim::Call& call : hostsim::CallsTo("Zorv_GetDataPointValueStr")) {
        EXPECT_EQ(call.Arg(2), "2147483647") << "the value as last displayed";
        EXPECT_EQ(call.Arg(5), "255");
    }
}

TEST_F(NotAvailableValuesTest, KeepsDataPointsMarkedToStayAndGuidedTests) {
    hostsim::DataPointDefinition kept = Shown(1, L"N/A");
    kept.attribute.kind = kDpKindNeverNotAvailable;
    hostsim::AddDataPoint(kept);
    hostsim::DataPointDefinition guidedTest = Shown(2, L"N/A");
    guidedTest.attribute.guidedTest = 2;
    hostsim::AddDataPoint(guidedTest);
    hostsim::DataPointDefinition queried = Shown(3, L"N/A");
    queried.attribute.kind = kDpKindPgnFromQueryMessage;
    hostsim::AddDataPoint(queried);
    HideNotAvailableValues(kHandle);
    EXPECT_TRUE(hostsim::DataPoint(1).visible);
    EXPECT_TRUE(hostsim::DataPoint(2).visible);
    EXPECT_FALSE(hostsim::DataPoint(3).visible);
}

TEST_F(NotAvailableValuesTest, HiddenDataPointsAreNotExamined) {
    hostsim::DataPointDefinition hidden = Shown(1, L"N/A");
    hidden.visible = false;
    hostsim::AddDataPoint(hidden);
    hostsim::AddDataPoint(Shown(2, L"N/A"));
    HideNotAvailableValues(kHandle);
    EXPECT_EQ(Examined(), (std::vector<std::string>{"2"}));
    EXPECT_EQ(hostsim::CallCount("Zorv_SetDataPointVisible"), 1u);
}

TEST_F(NotAvailableValuesTest, AHostCallThatFailsLeavesTheDataPointShown) {
    hostsim::AddDataPoint(Shown(1, L"N/A"));
    hostsim::AddDataPoint(Shown(2, L"N/A"));
    hostsim::AddDataPoint(Shown(3, L"N/A"));
    // The first data point loses its PGN, the second its attributes.
    hostsim::QueueResults("Zorv_GetPIDForTESKID", {7});
    hostsim::QueueResults("Zorv_GetDPAttributes", {7});
    HideNotAvailableValues(kHandle);
    EXPECT_TRUE(hostsim::DataPoint(1).visible);
    EXPECT_TRUE(hostsim::DataPoint(2).visible);
    EXPECT_FALSE(hostsim::DataPoint(3).visible);
}

TEST_F(NotAvailableValuesTest, WithoutTheLocalizedTextNothingIsHidden) {
    hostsim::Reset();
    hostsim::AddDataPoint(Shown(1, L"N/A"));
    HideNotAvailableValues(kHandle);
    EXPECT_TRUE(hostsim::DataPoint(1).visible);
    EXPECT_TRUE(Examined().empty());
}

}  // namespace
}  // namespace marl
