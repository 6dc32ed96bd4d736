// Categories with a fixed role, found by their names in the host database.
#include <gtest/gtest.h>

#include "VehicleApp/receive/Categories.h"
#include "test/support/AppTest.h"

namespace marl::testing {
namespace {

TEST(CategoryRoles, NamesAreMatchedByTheirWholePrefixFirstRowFirst) {
    const std::pair<const char*, int> cases[] = {
        {"TripData", kCategoryTripData},
        {"TripDataPerDay", kCategoryTripData},
        {"Trip", kNoCategoryRole},      // shorter than the prefix
        {"tripdata", kNoCategoryRole},  // case counts
        {"HealthReport_VehicleInfo", kCategoryHealthReportVehicleInfo},
        {"HealthReport_Data", kCategoryHealthReportData},
        {"HealthReport_DataExtra", kCategoryHealthReportData},
        {"Vehicle Info", kCategoryVehicleInfo},
        {"RequestPGNs", kCategoryRequestPgns},
        {"MobileParameters", kCategoryMobileParameters},
        {"", kNoCategoryRole},
        {nullptr, kNoCategoryRole}};
    for (const auto& [name, role] : cases) EXPECT_EQ(CategoryRoleForName(name), role) << (name ? name : "null");
}

TEST_F(AppTest, ClassifyKeepsTheHostIdOfEachRecognisedCategory) {
    const char* names[] = {"TripDataPerDay", "Trip", "HealthReport_VehicleInfo", "RequestPGNs", "TripData"};
    for (int16_t index = 0; index < 5; ++index) hostsim::AddCategory(Category(static_cast<int16_t>(40 + index), names[index]));
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

}  // namespace
}  // namespace marl::testing
