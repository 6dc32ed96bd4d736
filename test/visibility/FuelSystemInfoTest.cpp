// The fixed make and model texts of the fuel system.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "VehicleApp/vehicleinfo/FuelSystemMake.h"
#include "test/discovery/AppUnderTest.h"

namespace marl::testing {
namespace {

constexpr TESKID kMake = 586;
constexpr TESKID kModel = 587;
constexpr int16_t kPlainAdapter = 0x10;
constexpr int16_t kDeferredAdapter = 0x47;

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

bool HasTrace(const std::string& text) {
    for (const hostsim::TraceLine& line : hostsim::Traces())
        if (line.level == 7 && line.code == 0 && line.text == text) return true;
    return false;
}

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
        hostsim::SetProductId(kPlainAdapter);
        fuelSystem = AddModule(1, 18);
    }

    void AddMake(const std::string& make) {
        hostsim::DataPointDefinition described = DataPoint(kMake, 0xFEEB);
        described.name = "SPN_586";
        described.value = Bytes(make);
        described.visible = true;
        hostsim::AddDataPoint(described);
    }
    void AddModel() {
        hostsim::DataPointDefinition described = DataPoint(kModel, 0xFEEB);
        described.name = "SPN_587_0";
        described.value = Bytes("6.7L");
        hostsim::AddDataPoint(described);
    }

    void ExpectAgility() {
        EXPECT_TRUE(hostsim::DataPoint(kMake).visible);
        EXPECT_EQ(hostsim::DataPoint(kMake).displayValue, L"CMMNS");
        EXPECT_TRUE(hostsim::DataPoint(kModel).visible);
        EXPECT_EQ(hostsim::DataPoint(kModel).displayValue, L"Agility");
    }
    void ExpectMomentum() {
        EXPECT_FALSE(hostsim::DataPoint(kMake).visible);
        EXPECT_FALSE(hostsim::DataPoint(kMake).hasDisplayValue);
        EXPECT_TRUE(hostsim::DataPoint(kModel).visible);
        EXPECT_EQ(hostsim::DataPoint(kModel).displayValue, L"Momentum");
    }

    ModuleRecordPtr fuelSystem;
};

TEST_F(FuelSystemInfoTest, MakerCodeOrMoreIsAgility) {
    for (const std::string make : {"CMMNS", "CMMNS INC"}) {
        SCOPED_TRACE(make);
        hostsim::Reset();
        hostsim::SetProductId(kPlainAdapter);
        AddMake(make);
        AddModel();
        app.Vehicle().SetVehicleInfoStaticDataForFuelSystem(*fuelSystem);
        ExpectAgility();
    }
    for (const hostsim::Call& call : hostsim::CallsTo("Zorv_SetDPDisplayValue"))
        EXPECT_EQ(call.Arg(3), std::to_string(call.Arg(2).size() - 2)) << "length in characters";
}

TEST_F(FuelSystemInfoTest, OtherMakesAreMomentum) {
    for (const std::string make : {"cmmns", "CMMN", "", "OTHER"}) {
        SCOPED_TRACE(make);
        hostsim::Reset();
        hostsim::SetProductId(kPlainAdapter);
        AddMake(make);
        AddModel();
        app.Vehicle().SetVehicleInfoStaticDataForFuelSystem(*fuelSystem);
        ExpectMomentum();
    }
}

TEST_F(FuelSystemInfoTest, DeferredDiscoveryAdaptersExpectAgilityAsTheMakerCode) {
    hostsim::SetProductId(kDeferredAdapter);
    AddMake("AGILITY FUEL SOLUTIONS");
    AddModel();
    app.Vehicle().SetVehicleInfoStaticDataForFuelSystem(*fuelSystem);
    ExpectAgility();

    hostsim::Reset();
    hostsim::SetProductId(kDeferredAdapter);
    AddMake("CMMNS");
    AddModel();
    app.Vehicle().SetVehicleInfoStaticDataForFuelSystem(*fuelSystem);
    ExpectMomentum();
}

TEST_F(FuelSystemInfoTest, AMissingModelIsTracedAfterTheMakeIsHandled) {
    AddMake("CMMNS");
    app.Vehicle().SetVehicleInfoStaticDataForFuelSystem(*fuelSystem);
    EXPECT_EQ(hostsim::DataPoint(kMake).displayValue, L"CMMNS");
    EXPECT_TRUE(HasTrace("CVehicleApp::SetVehicleInfoStaticDataForFuelSystem (Line 3855) FAILED"));

    hostsim::Reset();
    app.Trace().LookUpAndOpen(0);
    hostsim::SetProductId(kPlainAdapter);
    AddMake("OTHER");
    app.Vehicle().SetVehicleInfoStaticDataForFuelSystem(*fuelSystem);
    EXPECT_FALSE(hostsim::DataPoint(kMake).visible);
    EXPECT_TRUE(HasTrace("CVehicleApp::SetVehicleInfoStaticDataForFuelSystem (Line 3869) FAILED"));
}

TEST_F(FuelSystemInfoTest, AMissingMakeChangesNothing) {
    AddModel();
    app.Vehicle().SetVehicleInfoStaticDataForFuelSystem(*fuelSystem);
    EXPECT_TRUE(HasTrace("CVehicleApp::SetVehicleInfoStaticDataForFuelSystem (Line 3825) FAILED"));
    EXPECT_EQ(hostsim::CallCount("Zorv_SetDPDisplayValue"), 0u);
    EXPECT_EQ(hostsim::CallCount("Zorv_SetDataPointVisible"), 0u);
}

}  // namespace
}  // namespace marl::testing
