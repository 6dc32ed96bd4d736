// Hiding data points whose value reads as not available, and the software identification
// fields the ECU does not fill.
#include <string>

#include "VehicleApp/discovery/NotAvailableValues.h"
#include "VehicleApp/discovery/SoftwareIdFields.h"
#include "hostsim/HostSim.h"
#include "test/support/AppTest.h"

namespace marl::testing {
namespace {

constexpr int32_t kHandle = 1;

hostsim::DataPointDefinition Shown(TESKID teskId, const std::wstring& value) {
    hostsim::DataPointDefinition described = DataPoint(teskId, 0xFEEE);
    described.valueText = value;
    described.visible = true;
    return described;
}

class NotAvailableValuesTest : public AppTest {
protected:
    void DescribeDatabase() override { hostsim::SetResourceString(L"NotAvailable", L"Nicht verf\u00FCgbar"); }
};

TEST_F(NotAvailableValuesTest, HidesTheLocalizedAndTheFixedNotAvailableTextExactly) {
    const std::pair<const wchar_t*, bool> cases[] = {{L"N/A", false}, {L"Nicht verf\u00FCgbar", false}, {L"42 km/h", true},
                                                     {L"n/a", true},  {L"N/A ", true},                   {L"", true}};
    TESKID teskId = 1;
    for (const auto& [value, shown] : cases) hostsim::AddDataPoint(Shown(teskId++, value));
    HideNotAvailableValues(kHandle);
    teskId = 1;
    for (const auto& [value, shown] : cases) EXPECT_EQ(hostsim::DataPoint(teskId++).visible, shown) << hostsim::ToUtf8(value);
    EXPECT_EQ(ArgOf("Zorv_GetDataPointValueStr", 2), Texts(std::size(cases), "2147483647")) << "the value as last displayed";
    EXPECT_EQ(ArgOf("Zorv_GetDataPointValueStr", 5), Texts(std::size(cases), "255"));
}

TEST_F(NotAvailableValuesTest, KeepsDataPointsMarkedToStayAndGuidedTestsButNotHiddenOnes) {
    // Marked to stay, a guided test, read with a query message, hidden.
    for (TESKID teskId : {1u, 2u, 3u, 4u}) {
        hostsim::DataPointDefinition described = Shown(teskId, L"N/A");
        described.attribute.kind = teskId == 1 ? kDpKindNeverNotAvailable : teskId == 3 ? kDpKindPgnFromQueryMessage : 0;
        described.attribute.guidedTest = teskId == 2 ? 2 : 0;
        described.visible = teskId != 4;
        hostsim::AddDataPoint(described);
    }
    HideNotAvailableValues(kHandle);
    EXPECT_EQ(Visible({1, 2, 3}), (std::vector<bool>{true, true, false}));
    EXPECT_EQ(CallsWithArg("Zorv_GetDataPointValueStr", 1, "4"), 0u) << "a hidden data point is not examined";
    EXPECT_EQ(hostsim::CallCount("Zorv_SetDataPointVisible"), 1u);
}

TEST_F(NotAvailableValuesTest, AHostCallThatFailsLeavesTheDataPointShown) {
    for (TESKID teskId : {1u, 2u, 3u}) hostsim::AddDataPoint(Shown(teskId, L"N/A"));
    // The first data point loses its PGN, the second its attributes.
    hostsim::QueueResults("Zorv_GetPIDForTESKID", {7});
    hostsim::QueueResults("Zorv_GetDPAttributes", {7});
    HideNotAvailableValues(kHandle);
    EXPECT_EQ(Visible({1, 2, 3}), (std::vector<bool>{true, true, false}));
}

TEST_F(NotAvailableValuesTest, WithoutTheLocalizedTextNothingIsHidden) {
    hostsim::Reset();
    hostsim::AddDataPoint(Shown(1, L"N/A"));
    HideNotAvailableValues(kHandle);
    EXPECT_TRUE(hostsim::DataPoint(1).visible);
    EXPECT_EQ(hostsim::CallCount("Zorv_GetDataPointValueStr"), 0u) << "no value is even read";
}

constexpr TESKID kCountTeskId = 900;
constexpr TESKID kFirstFieldTeskId = 910;

TEST(SoftwareIdFields, FieldNamesHaveTwoDigitsAtLeastAndTheCountIsTheLeadingDecimalNumber) {
    for (const auto& [field, name] : {std::pair<uint16_t, const char*>{0, "SPN_234_00"}, {7, "SPN_234_07"},
                                      {19, "SPN_234_19"}, {123, "SPN_234_123"}})
        EXPECT_EQ(SoftwareIdFieldName(field), name);
    // Too big a number saturates instead of wrapping (65539 would wrap to 3 in 16 bits).
    for (const auto& [text, count] : {std::pair<const wchar_t*, int>{L"3", 3}, {L"  12 fields", 12}, {L"0", 0},
                                      {L"99999999999999999999", 0xFFFF}, {L"65539", 0xFFFF}})
        EXPECT_EQ(ParseFieldCount(text), count) << hostsim::ToUtf8(text);
    for (const wchar_t* text : {L"", L"N/A", L"-3"}) EXPECT_FALSE(ParseFieldCount(text)) << hostsim::ToUtf8(text);
}

class SoftwareIdFieldsTest : public ::testing::Test {
protected:
    void SetUp() override { FreshDatabase(); }
    void TearDown() override { hostsim::Reset(); }

    // The twenty fields, all shown, and nothing else.
    void FreshDatabase() {
        hostsim::Reset();
        for (uint16_t field = 0; field < kSoftwareIdFieldCount; ++field) AddField(field);
    }
    static void AddField(uint16_t field) {
        hostsim::DataPointDefinition described = DataPoint(kFirstFieldTeskId + field, 0);
        described.name = SoftwareIdFieldName(field);
        described.visible = true;
        hostsim::AddDataPoint(described);
    }
    static void AddCount(const std::wstring& value) {
        hostsim::DataPointDefinition described = DataPoint(kCountTeskId, 0);
        described.name = "SPN_965";
        described.valueText = value;
        hostsim::AddDataPoint(described);
    }

    // Fields still shown, as the number of the first hidden one (20 when none is).
    uint16_t FirstHiddenField() {
        for (uint16_t field = 0; field < kSoftwareIdFieldCount; ++field) {
            if (!hostsim::DataPoint(kFirstFieldTeskId + field).visible) {
                for (uint16_t rest = field; rest < kSoftwareIdFieldCount; ++rest)
                    EXPECT_FALSE(hostsim::DataPoint(kFirstFieldTeskId + rest).visible) << rest;
                return field;
            }
        }
        return kSoftwareIdFieldCount;
    }
};

TEST_F(SoftwareIdFieldsTest, HidesTheFieldsFromTheReportedCountOn) {
    const struct {
        const wchar_t* count;
        uint16_t firstHidden;
    } cases[] = {{L"3", 3}, {L"0", 0}, {L"19", 19}, {L"20", 20}, {L"250", 20}, {L"N/A", 20}, {L"", 20}, {nullptr, 20}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count ? hostsim::ToUtf8(c.count) : "no count data point");
        FreshDatabase();
        if (c.count) AddCount(c.count);
        HideSurplusSoftwareIdFields(kHandle);
        EXPECT_EQ(FirstHiddenField(), c.firstHidden);
        EXPECT_EQ(hostsim::CallCount("Zorv_SetDataPointVisible"), static_cast<size_t>(kSoftwareIdFieldCount - c.firstHidden));
    }
}

TEST_F(SoftwareIdFieldsTest, MissingFieldsAreSkipped) {
    hostsim::Reset();
    AddCount(L"18");
    AddField(19);
    HideSurplusSoftwareIdFields(kHandle);
    EXPECT_FALSE(hostsim::DataPoint(kFirstFieldTeskId + 19).visible);
    EXPECT_EQ(hostsim::CallCount("Zorv_SetDataPointVisible"), 1u) << "SPN_234_18 is not in the database";
    EXPECT_EQ(hostsim::CallCount("Zorv_GetDPIDbyName"), 3u);
}

}  // namespace
}  // namespace marl::testing
