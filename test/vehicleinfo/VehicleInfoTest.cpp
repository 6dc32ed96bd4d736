// The fuel system's fixed make and model texts, the category data update behind host
// command 1016 (trip data) and the VIN behind command 3000.
#include "VehicleApp/boundary/CommandHandler.h"
#include "VehicleApp/vehicleinfo/FuelSystemMake.h"
#include "test/support/AppTest.h"
#include "test/support/VirtualEcu.h"

namespace marl::testing {
namespace {

constexpr TESKID kMake = 586;
constexpr TESKID kModel = 587;
constexpr int16_t kPlainAdapter = 0x10;
constexpr int16_t kDeferredAdapter = 0x47;

TEST(FuelSystemMakeTest, ComparesTheCodesBytesOnly) {
    const uint8_t longer[] = {'C', 'M', 'M', 'N', 'S', ' ', 'I', 'N', 'C'};
    EXPECT_TRUE(MakeMatchesMakerCode(longer, sizeof(longer), "CMMNS"));
    EXPECT_FALSE(MakeMatchesMakerCode(longer, 3, "CMMNS")) << "the value ends after its length";
    const uint8_t terminated[] = {'C', 'M', 0, 'N', 'S'};
    EXPECT_FALSE(MakeMatchesMakerCode(terminated, sizeof(terminated), "CMMNS"));
    EXPECT_FALSE(MakeMatchesMakerCode(nullptr, 0, "CMMNS"));
}

class FuelSystemInfoTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        fuelSystem = AddModule(1, 18);
    }
    // A fresh host with this adapter and, unless null, the make and the model.
    void UseHost(int16_t adapter, const char* make, const char* model = "6.7L") {
        ResetHost();
        app.Trace().LookUpAndOpen(0);
        hostsim::SetProductId(adapter);
        const std::pair<TESKID, const char*> described[] = {{kMake, make}, {kModel, model}};
        for (const auto& [teskId, value] : described) {
            if (value == nullptr) continue;
            hostsim::DataPointDefinition dp = DataPoint(teskId, 0xFEEB);
            dp.name = teskId == kMake ? "SPN_586" : "SPN_587_0";
            dp.value = std::vector<uint8_t>(value, value + std::char_traits<char>::length(value));
            dp.visible = teskId == kMake;
            hostsim::AddDataPoint(dp);
        }
    }
    void Fill() { app.Vehicle().SetVehicleInfoStaticDataForFuelSystem(*fuelSystem); }

    ModuleRecordPtr fuelSystem;
};

// The maker code shows the make and the model "Agility"; any other make is hidden and
// the model reads "Momentum". Adapters that defer discovery expect "AGILITY" as the code.
TEST_F(FuelSystemInfoTest, TheMakerCodeDecidesBetweenAgilityAndMomentum) {
    const struct {
        int16_t adapter;
        const char* make;
        bool agility;
    } cases[] = {{kPlainAdapter, "CMMNS", true},   {kPlainAdapter, "CMMNS INC", true},
                 {kPlainAdapter, "cmmns", false},  {kPlainAdapter, "CMMN", false},
                 {kPlainAdapter, "", false},       {kPlainAdapter, "OTHER", false},
                 {kDeferredAdapter, "AGILITY FUEL SOLUTIONS", true}, {kDeferredAdapter, "CMMNS", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.make);
        UseHost(c.adapter, c.make);
        Fill();
        EXPECT_EQ(hostsim::DataPoint(kMake).visible, c.agility);
        EXPECT_EQ(hostsim::DataPoint(kMake).hasDisplayValue, c.agility);
        EXPECT_EQ(hostsim::DataPoint(kMake).displayValue, c.agility ? L"CMMNS" : L"");
        EXPECT_TRUE(hostsim::DataPoint(kModel).visible);
        EXPECT_EQ(hostsim::DataPoint(kModel).displayValue, c.agility ? L"Agility" : L"Momentum");
        for (const hostsim::Call& call : hostsim::CallsTo("Zorv_SetDPDisplayValue"))
            EXPECT_EQ(call.Arg(3), std::to_string(call.Arg(2).size() - 2)) << "length in characters";
    }
}

// Each missing data point is traced; without the make nothing changes.
TEST_F(FuelSystemInfoTest, MissingDataPointsAreTraced) {
    UseHost(kPlainAdapter, "CMMNS", nullptr);
    Fill();
    EXPECT_EQ(hostsim::DataPoint(kMake).displayValue, L"CMMNS");
    EXPECT_TRUE(HasTrace(7, "CVehicleApp::SetVehicleInfoStaticDataForFuelSystem (Line 3855) FAILED"));

    UseHost(kPlainAdapter, "OTHER", nullptr);
    Fill();
    EXPECT_FALSE(hostsim::DataPoint(kMake).visible);
    EXPECT_TRUE(HasTrace(7, "CVehicleApp::SetVehicleInfoStaticDataForFuelSystem (Line 3869) FAILED"));

    UseHost(kPlainAdapter, nullptr);
    hostsim::ClearCalls();
    Fill();
    EXPECT_TRUE(HasTrace(7, "CVehicleApp::SetVehicleInfoStaticDataForFuelSystem (Line 3825) FAILED"));
    EXPECT_EQ(hostsim::CallCount("Zorv_SetDPDisplayValue") + hostsim::CallCount("Zorv_SetDataPointVisible"), 0u);
}

class CategoryDataTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        // Periodic classes 2 and 3 are asked for; class 1 (global) is not.
        for (const auto& [teskId, pgn, security] : {std::tuple<TESKID, uint32_t, int16_t>{301, 0xFEE9, 2}, {302, 0xFEE9, 3},
                                                    {303, 0xFEEA, 3}, {304, 0xFEEB, 2}, {305, 0xFEEC, 1}, {306, 0xFEED, 3}})
            hostsim::AddDataPoint(DataPoint(teskId, pgn, security));
        hostsim::AddCategory(Category(40, "TripData", {301, 302, 303, 304, 305, 306, 999}));
    }
};

TEST_F(CategoryDataTest, RequestsEachSupportedPeriodicPgnOnce) {
    ModuleRecordPtr engine = AddCompletedModule(1, 0x00);
    engine->pgnMap.recordResponse(0xFEE9, false);
    engine->pgnMap.recordResponse(0xFEEA, true);
    engine->pgnMap.recordProbe(0xFEEB, 0x00);
    engine->pgnMap.recordResponse(0xFEEC, false);
    engine->pgnMap.recordResponse(0xFEED, false);
    VirtualEcu ecu(app, 1, 0x00, {0xFEE9, 0xFEED});
    EXPECT_TRUE(app.Vehicle().UpdateCategoryData(1, 40));
    ecu.Drain();
    EXPECT_EQ(SentRequests(), (Requests{{0xFEE9, 0x00}, {0xFEED, 0x00}}));

    hostsim::ClearCalls();
    hostsim::SetResult("SendJ1939Msg", 5);
    EXPECT_TRUE(app.Vehicle().UpdateCategoryData(1, 40));
    EXPECT_EQ(hostsim::CallCount("SendJ1939Msg"), 6u) << "three attempts for each of the two PGNs";
    EXPECT_EQ(TraceCodes("CVehicleApp::UpdateCategoryData (Line 3535)"), (std::vector<ZResult>{5, 5}));
}

TEST_F(CategoryDataTest, PlaybackUnknownModulesAndOtherEcus) {
    app.SetPlaybackStatus(1);
    EXPECT_TRUE(app.Vehicle().UpdateCategoryData(1, 40)) << "nothing to ask during playback";
    EXPECT_TRUE(hostsim::Calls().empty());
    app.SetPlaybackStatus(0);

    EXPECT_FALSE(app.Vehicle().UpdateCategoryData(9, 40));
    AddModule(2, 0x01);
    EXPECT_TRUE(app.Vehicle().UpdateCategoryData(2, 40));
    EXPECT_EQ(hostsim::CallCount("Zorv_GetCategoryDPs"), 0u) << "only the engine at 0 keeps trip data";
    AddModule(3, 0x01, 1, kRestrictedModuleType);
    EXPECT_TRUE(app.Vehicle().UpdateCategoryData(3, 40));
    EXPECT_EQ(hostsim::CallCount("Zorv_GetCategoryDPs"), 1u) << "unless the module type says otherwise";
    EXPECT_TRUE(hostsim::SentMessages().empty()) << "nothing is known to be supported";
}

// Only the engine keeps trip data.
TEST_F(CategoryDataTest, TripDataCommandUsesTheTripDataCategory) {
    AddModule(1, 0x00);
    AddModule(2, 0x03);
    app.Receiver().ClassifyCategories(1);
    for (const auto& [handle, expected] : {std::pair<uint32_t, uint32_t>{1, 1}, {2, 0}}) {
        uint32_t flag = 7;
        EXPECT_EQ(HandleVehicleAppCommand(&app, handle, 1016, nullptr, nullptr, nullptr, nullptr, &flag), 0);
        EXPECT_EQ(flag, expected) << handle;
    }
    EXPECT_EQ(ArgOf("Zorv_GetCategoryDPs", 2), Texts{"40"});
}

class VinTest : public AppTest {
protected:
    wchar_t text[32];
    int16_t length = 32;
    // A fresh host whose VIN data point reads `value`, and a buffer full of '#'.
    void UseVin(const wchar_t* value) {
        ResetHost();
        std::fill(std::begin(text), std::end(text), L'#');
        length = 32;
        if (value == nullptr) return;
        hostsim::DataPointDefinition vin = DataPoint(700, 0xFEEC);
        vin.udis = {7};
        vin.valueText = value;
        hostsim::AddDataPoint(vin);
    }
};

TEST_F(VinTest, TheVinComesBackWithItsLengthAndNotAvailableTextsGiveTwelve) {
    const struct {
        const wchar_t* value;
        uint16_t result;
        int16_t length;
    } cases[] = {{nullptr, 0, 32} /* no VIN data point: the length is kept */, {L"--", 12, 0}, {L"N/A", 12, 0},
                 {L"n/a", 12, 0}, {L"N/A ", 0, 4} /* compared as a whole text */, {L"1XKYD49X0NJ123456", 0, 17}};
    for (const auto& c : cases) {
        const std::wstring value = c.value ? c.value : L"";
        SCOPED_TRACE(hostsim::ToUtf8(value));
        UseVin(c.value);
        EXPECT_EQ(app.Vehicle().GetVin(1, text, &length), c.result);
        EXPECT_EQ(length, c.length);
        EXPECT_EQ(std::wstring(text), value.substr(0, static_cast<size_t>(c.length)));
        EXPECT_EQ(text[31], L'\0') << "the whole buffer is cleared";
    }
    EXPECT_TRUE(hostsim::DataPoint(700).visible);
}

TEST_F(VinTest, SmallBufferIsNeverWrittenPastAndFailuresAreTraced) {
    UseVin(L"1XKYD49X0NJ123456");
    length = 5;
    EXPECT_EQ(app.Vehicle().GetVin(1, text, &length), 0);
    EXPECT_LE(length, 5);
    EXPECT_EQ(text[5], L'#');

    hostsim::SetResult("Zorv_GetDataPointValueStr", 7);
    length = 32;
    EXPECT_EQ(app.Vehicle().GetVin(1, text, &length), 7);
    EXPECT_EQ(TraceCodes("CVehicleApp::GetVin (Line 3610)"), std::vector<ZResult>{7});
}

}  // namespace
}  // namespace marl::testing
