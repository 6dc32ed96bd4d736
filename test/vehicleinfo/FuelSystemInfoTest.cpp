// The fixed make and model texts of the fuel system.
#include <gtest/gtest.h>

#include <string>

#include "VehicleApp/vehicleinfo/FuelSystemMake.h"
#include "test/support/AppTest.h"

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
            hostsim::DataPointSpec dp = DataPoint(teskId, 0xFEEB);
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

TEST_F(FuelSystemInfoTest, AMissingModelIsTracedAfterTheMakeIsHandled) {
    UseHost(kPlainAdapter, "CMMNS", nullptr);
    Fill();
    EXPECT_EQ(hostsim::DataPoint(kMake).displayValue, L"CMMNS");
    EXPECT_TRUE(HasTrace(7, "CVehicleApp::SetVehicleInfoStaticDataForFuelSystem (Line 3855) FAILED"));

    UseHost(kPlainAdapter, "OTHER", nullptr);
    Fill();
    EXPECT_FALSE(hostsim::DataPoint(kMake).visible);
    EXPECT_TRUE(HasTrace(7, "CVehicleApp::SetVehicleInfoStaticDataForFuelSystem (Line 3869) FAILED"));
}

TEST_F(FuelSystemInfoTest, AMissingMakeChangesNothing) {
    UseHost(kPlainAdapter, nullptr);
    hostsim::ClearCalls();
    Fill();
    EXPECT_TRUE(HasTrace(7, "CVehicleApp::SetVehicleInfoStaticDataForFuelSystem (Line 3825) FAILED"));
    EXPECT_EQ(hostsim::CallCount("Zorv_SetDPDisplayValue"), 0u);
    EXPECT_EQ(hostsim::CallCount("Zorv_SetDataPointVisible"), 0u);
}

}  // namespace
}  // namespace marl::testing
