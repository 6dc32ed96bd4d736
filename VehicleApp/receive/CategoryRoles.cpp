#include "VehicleApp/receive/CategoryRoles.h"

#include <cstring>

namespace marl {
namespace {

// In role order: earlier rows win, so "HealthReport_VehicleInfo" is told apart from
// "HealthReport_Data" only by comparing the whole of each prefix.
constexpr const char* kRolePrefixes[kCategoryRoleCount] = {
    "TripData",     "MobileTripLife", "MobileParameters",  "RecordablePids",           "Vehicle Info",
    "FreezeFrame",  "RequestPGNs",    "HealthReport_Data", "HealthReport_VehicleInfo",
};

}  // namespace

int CategoryRoleForName(const char* name) {
    if (name == nullptr) return kNoCategoryRole;
    for (int role = 0; role < kCategoryRoleCount; ++role) {
        const char* prefix = kRolePrefixes[role];
        if (std::strncmp(name, prefix, std::strlen(prefix)) == 0) return role;
    }
    return kNoCategoryRole;
}

}  // namespace marl
