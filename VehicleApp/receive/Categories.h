// The categories of the parameter database that have a fixed role in the plug-in,
// recognised by the beginning of their names. The receive path keeps each role's
// category id.
#pragma once

#include <cstddef>

namespace marl {

enum CategoryRole : int {
    kCategoryTripData = 0,
    kCategoryMobileTripLife,
    kCategoryMobileParameters,
    kCategoryRecordablePids,
    kCategoryVehicleInfo,
    kCategoryFreezeFrame,
    kCategoryRequestPgns,
    kCategoryHealthReportData,
    kCategoryHealthReportVehicleInfo,
    kCategoryRoleCount,
};

constexpr int kNoCategoryRole = -1;

// The role of the first prefix, in the order above, that `name` begins with; a name
// shorter than a prefix does not match it. kNoCategoryRole when none matches or the
// name is null.
int CategoryRoleForName(const char* name);

}  // namespace marl
