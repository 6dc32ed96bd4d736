// Hiding data points whose value reads as not available.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "VehicleApp/discovery/NotAvailableValues.h"
#include "test/support/AppTest.h"

namespace marl::testing {
namespace {

constexpr int32_t kHandle = 1;

hostsim::DataPointSpec Shown(TESKID teskId, const std::wstring& value) {
    hostsim::DataPointSpec described = DataPoint(teskId, 0xFEEE);
    described.valueText = value;
    described.visible = true;
    return described;
}

class NotAvailableValuesTest : public AppTest {
protected:
    void DescribeDatabase() override { hostsim::SetResourceString(L"NotAvailable", L"Nicht verf\u00FCgbar"); }

    // The TESKIDs whose value text the pass asked for.
    static std::vector<std::string> Examined() {
        std::vector<std::string> teskIds;
        for (const hostsim::Call& call : hostsim::CallsTo("Zorv_GetDataPointValueStr")) teskIds.push_back(call.Arg(1));
        return teskIds;
    }
};

TEST_F(NotAvailableValuesTest, HidesTheLocalizedAndTheFixedNotAvailableTextExactly) {
    const std::pair<const wchar_t*, bool> cases[] = {{L"N/A", false}, {L"Nicht verf\u00FCgbar", false}, {L"42 km/h", true},
                                                     {L"n/a", true},  {L"N/A ", true},                   {L"", true}};
    TESKID teskId = 1;
    for (const auto& [value, shown] : cases) hostsim::AddDataPoint(Shown(teskId++, value));
    HideNotAvailableValues(kHandle);
    teskId = 1;
    for (const auto& [value, shown] : cases) EXPECT_EQ(hostsim::DataPoint(teskId++).visible, shown) << hostsim::ToUtf8(value);
    for (const hostsim::Call& call : hostsim::CallsTo("Zorv_GetDataPointValueStr")) {
        EXPECT_EQ(call.Arg(2), "2147483647") << "the value as last displayed";
        EXPECT_EQ(call.Arg(5), "255");
    }
}

TEST_F(NotAvailableValuesTest, KeepsDataPointsMarkedToStayAndGuidedTestsButNotHiddenOnes) {
    hostsim::DataPointSpec kept = Shown(1, L"N/A");
    kept.attribute.kind = kDpKindNeverNotAvailable;
    hostsim::AddDataPoint(kept);
    hostsim::DataPointSpec guidedTest = Shown(2, L"N/A");
    guidedTest.attribute.guidedTest = 2;
    hostsim::AddDataPoint(guidedTest);
    hostsim::DataPointSpec queried = Shown(3, L"N/A");
    queried.attribute.kind = kDpKindPgnFromQueryMessage;
    hostsim::AddDataPoint(queried);
    hostsim::DataPointSpec hidden = Shown(4, L"N/A");
    hidden.visible = false;
    hostsim::AddDataPoint(hidden);
    HideNotAvailableValues(kHandle);
    EXPECT_TRUE(hostsim::DataPoint(1).visible);
    EXPECT_TRUE(hostsim::DataPoint(2).visible);
    EXPECT_FALSE(hostsim::DataPoint(3).visible);
    const std::vector<std::string> examined = Examined();
    EXPECT_EQ(std::count(examined.begin(), examined.end(), "4"), 0) << "a hidden data point is not examined";
    EXPECT_EQ(hostsim::CallCount("Zorv_SetDataPointVisible"), 1u);
}

TEST_F(NotAvailableValuesTest, AHostCallThatFailsLeavesTheDataPointShown) {
    for (TESKID teskId : {1u, 2u, 3u}) hostsim::AddDataPoint(Shown(teskId, L"N/A"));
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
}  // namespace marl::testing
