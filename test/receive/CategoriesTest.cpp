// Categories with a fixed role, the category data update behind host command 1016, and
// the VIN behind command 3000.
#include <gtest/gtest.h>

#include <cstring>

#include "VehicleApp/boundary/CommandHandler.h"
#include "VehicleApp/receive/Categories.h"
#include "test/discovery/AppUnderTest.h"
#include "test/discovery/VirtualEcu.h"

namespace marl::testing {
namespace {

TEST(CategoryRoles, NamesAreMatchedByTheirWholePrefixFirstRowFirst) {
    EXPECT_EQ(CategoryRoleForName("TripData"), kCategoryTripData);
    EXPECT_EQ(CategoryRoleForName("TripDataPerDay"), kCategoryTripData);
    EXPECT_EQ(CategoryRoleForName("Trip"), kNoCategoryRole) << "shorter than the prefix";
    EXPECT_EQ(CategoryRoleForName("tripdata"), kNoCategoryRole) << "case counts";
    EXPECT_EQ(CategoryRoleForName("HealthReport_VehicleInfo"), kCategoryHealthReportVehicleInfo);
    EXPECT_EQ(CategoryRoleForName("HealthReport_Data"), kCategoryHealthReportData);
    EXPECT_EQ(CategoryRoleForName("HealthReport_DataExtra"), kCategoryHealthReportData);
    EXPECT_EQ(CategoryRoleForName("Vehicle Info"), kCategoryVehicleInfo);
    EXPECT_EQ(CategoryRoleForName("RequestPGNs"), kCategoryRequestPgns);
    EXPECT_EQ(CategoryRoleForName("MobileParameters"), kCategoryMobileParameters);
    EXPECT_EQ(CategoryRoleForName(""), kNoCategoryRole);
    EXPECT_EQ(CategoryRoleForName(nullptr), kNoCategoryRole);
}

class CategoryTest : public AppTest {
protected:
    void AddCategory(int16_t id, const std::string& name, std::vector<TESKID> teskIds = {}) {
        hostsim::CategoryDefinition described;
        described.id = id;
        described.name = name;
        described.teskIds = std::move(teskIds);
        hostsim::AddCategory(described);
    }
    ModuleRecordPtr AddTypedModule(int32_t handle, uint8_t address, uint32_t moduleType) {
        ModuleInfo info;
        std::memset(&info, 0, sizeof(info));
        info.ecuAddress = address;
        info.channel = 1;
        info.moduleType = moduleType;
        return app.Modules().AddModuleRecord(handle, info, !app.Modules().FindByChannel(nullptr, 1));
    }
};

TEST_F(CategoryTest, ClassifyKeepsTheHostIdOfEachRecognisedCategory) {
    AddCategory(40, "TripDataPerDay");
    AddCategory(41, "Trip");
    AddCategory(42, "HealthReport_VehicleInfo");
    AddCategory(43, "RequestPGNs");
    AddCategory(44, "TripData");
    const char* names[] = {"TripDataPerDay", "Trip", "HealthReport_VehicleInfo", "RequestPGNs"};
    for (int index = 0; index < 4; ++index) EXPECT_EQ(app.Receiver().ClassifyCategory(1, index, names[index]), 0);
    EXPECT_EQ(app.Receiver().CategoryId(kCategoryTripData), 40);
    EXPECT_EQ(app.Receiver().CategoryId(kCategoryHealthReportVehicleInfo), 42);
    EXPECT_EQ(app.Receiver().CategoryId(kCategoryHealthReportData), -1);
    EXPECT_EQ(app.Receiver().CategoryId(kCategoryRequestPgns), 43);
    EXPECT_EQ(hostsim::CallCount("Zorv_GetCategoryID"), 3u) << "an unrecognised name asks the host nothing";

    EXPECT_EQ(app.Receiver().ClassifyCategory(1, 4, "TripData"), 0);
    EXPECT_EQ(app.Receiver().CategoryId(kCategoryTripData), 44) << "the later category of a role wins";

    hostsim::SetResult("Zorv_GetCategoryID", 9);
    EXPECT_EQ(app.Receiver().ClassifyCategory(1, 2, "Vehicle Info"), 9);
    EXPECT_EQ(app.Receiver().CategoryId(kCategoryVehicleInfo), -1);
}

class CategoryDataTest : public CategoryTest {
protected:
    void SetUp() override {
        CategoryTest::SetUp();
        hostsim::AddDataPoint(DataPoint(301, 0xFEE9, 2));
        hostsim::AddDataPoint(DataPoint(302, 0xFEE9, 3));
        hostsim::AddDataPoint(DataPoint(303, 0xFEEA, 3));
        hostsim::AddDataPoint(DataPoint(304, 0xFEEB, 2));
        hostsim::AddDataPoint(DataPoint(305, 0xFEEC, 1));
        hostsim::AddDataPoint(DataPoint(306, 0xFEED, 3));
        AddCategory(40, "TripData", {301, 302, 303, 304, 305, 306, 999});
    }
};

TEST_F(CategoryDataTest, RequestsEachSupportedPeriodicPgnOnce) {
    ModuleRecordPtr engine = AddTypedModule(1, 0x00, 0);
    engine->SetRegistrationComplete();
    engine->pgnMap.recordResponse(0xFEE9, false);
    engine->pgnMap.recordResponse(0xFEEA, true);
    engine->pgnMap.recordProbe(0xFEEB, 0x00);
    engine->pgnMap.recordResponse(0xFEEC, false);
    engine->pgnMap.recordResponse(0xFEED, false);
    VirtualEcu ecu(app, 1, 0x00);
    ecu.Answer(0xFEE9);
    ecu.Answer(0xFEED);

    EXPECT_TRUE(app.Vehicle().UpdateCategoryData(1, 40));
    ecu.Drain();
    EXPECT_EQ(SentRequests(), (std::vector<std::pair<uint32_t, uint8_t>>{{0xFEE9, 0x00}, {0xFEED, 0x00}}));
}

TEST_F(CategoryDataTest, FailingRequestsAreTracedAndSkipped) {
    ModuleRecordPtr engine = AddTypedModule(1, 0x00, 0);
    engine->pgnMap.recordResponse(0xFEE9, false);
    engine->pgnMap.recordResponse(0xFEED, false);
    hostsim::SetResult("SendJ1939Msg", 5);
    EXPECT_TRUE(app.Vehicle().UpdateCategoryData(1, 40));
    EXPECT_EQ(hostsim::CallCount("SendJ1939Msg"), 6u) << "three attempts for each of the two PGNs";
    size_t traced = 0;
    for (const hostsim::TraceLine& line : hostsim::Traces())
        traced += line.code == 5 && line.text == "CVehicleApp::UpdateCategoryData (Line 3535)";
    EXPECT_EQ(traced, 2u);
}

TEST_F(CategoryDataTest, PlaybackUnknownModulesAndOtherEcus) {
    app.SetPlaybackStatus(1);
    hostsim::ClearCalls();
    EXPECT_TRUE(app.Vehicle().UpdateCategoryData(1, 40)) << "nothing to ask during playback";
    EXPECT_TRUE(hostsim::Calls().empty());
    app.SetPlaybackStatus(0);

    EXPECT_FALSE(app.Vehicle().UpdateCategoryData(9, 40));

    AddTypedModule(2, 0x01, 0);
    EXPECT_TRUE(app.Vehicle().UpdateCategoryData(2, 40));
    EXPECT_EQ(hostsim::CallCount("Zorv_GetCategoryDPs"), 0u) << "only the engine at 0 keeps trip data";

    AddTypedModule(3, 0x01, 74);
    EXPECT_TRUE(app.Vehicle().UpdateCategoryData(3, 40));
    EXPECT_EQ(hostsim::CallCount("Zorv_GetCategoryDPs"), 1u) << "unless the module type says otherwise";
    EXPECT_TRUE(hostsim::SentMessages().empty()) << "nothing is known to be supported";
}

TEST_F(CategoryDataTest, TripDataCommandUsesTheTripDataCategory) {
    ModuleRecordPtr engine = AddTypedModule(1, 0x00, 0);
    app.Receiver().ClassifyCategories(1);
    wchar_t text[8] = {};
    int16_t length = 8;
    uint8_t data[8] = {};
    int16_t extra = 0;
    uint32_t flag = 0;
    EXPECT_EQ(HandleVehicleAppCommand(&app, 1, 1016, text, &length, data, &extra, &flag), 0);
    EXPECT_EQ(flag, 1u);
    const auto calls = hostsim::CallsTo("Zorv_GetCategoryDPs");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].Arg(2), "40");
}

class VinTest : public CategoryTest {
protected:
    wchar_t text[32];
    int16_t length = 32;
    void SetUp() override {
        CategoryTest::SetUp();
        std::fill(std::begin(text), std::end(text), L'#');
    }
    void AddVin(const std::wstring& value) {
        hostsim::DataPointDefinition vin = DataPoint(700, 0xFEEC);
        vin.udis = {7};
        vin.valueText = value;
        hostsim::AddDataPoint(vin);
    }
};

TEST_F(VinTest, VinOf17CharactersComesBackWithItsLength) {
    AddVin(L"1XKYD49X0NJ123456");
    EXPECT_EQ(app.Vehicle().GetVin(1, text, &length), 0);
    EXPECT_EQ(std::wstring(text), L"1XKYD49X0NJ123456");
    EXPECT_EQ(length, 17);
    EXPECT_TRUE(hostsim::DataPoint(700).visible);
}

TEST_F(VinTest, NotAvailableTextsGiveTwelveAndAnEmptyText) {
    for (const wchar_t* none : {L"--", L"N/A", L"n/a"}) {
        hostsim::Reset();
        AddVin(none);
        std::fill(std::begin(text), std::end(text), L'#');
        length = 32;
        EXPECT_EQ(app.Vehicle().GetVin(1, text, &length), 12);
        EXPECT_EQ(length, 0);
        for (wchar_t c : text) EXPECT_EQ(c, L'\0');
    }
    hostsim::Reset();
    AddVin(L"N/A ");
    length = 32;
    EXPECT_EQ(app.Vehicle().GetVin(1, text, &length), 0) << "compared as a whole text";
    EXPECT_EQ(length, 4);
}

TEST_F(VinTest, WithoutVinDataPointTheTextIsEmptyAndTheLengthKept) {
    EXPECT_EQ(app.Vehicle().GetVin(1, text, &length), 0);
    EXPECT_EQ(length, 32);
    EXPECT_EQ(text[0], L'\0');
    EXPECT_EQ(text[31], L'\0');
}

TEST_F(VinTest, SmallBufferIsNeverWrittenPastAndFailuresAreTraced) {
    AddVin(L"1XKYD49X0NJ123456");
    length = 5;
    EXPECT_EQ(app.Vehicle().GetVin(1, text, &length), 0);
    EXPECT_LE(length, 5);
    EXPECT_EQ(text[5], L'#');

    hostsim::SetResult("Zorv_GetDataPointValueStr", 7);
    length = 32;
    EXPECT_EQ(app.Vehicle().GetVin(1, text, &length), 7);
    bool traced = false;
    for (const hostsim::TraceLine& line : hostsim::Traces())
        traced |= line.code == 7 && line.text == "CVehicleApp::GetVin (Line 3610)";
    EXPECT_TRUE(traced);
}

}  // namespace
}  // namespace marl::testing
