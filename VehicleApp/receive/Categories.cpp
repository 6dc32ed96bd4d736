// The categories of the parameter database with a fixed role in the plug-in: told apart
// by the beginnings of their names when a module finishes registration.
#include <cstring>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/discovery/HostLists.h"
#include "VehicleApp/receive/Categories.h"
#include "VehicleApp/receive/ReceivePath.h"
#include "host/ZorvApi.h"

namespace marl {
namespace {
constexpr uint16_t kCategoryNameCapacity = 256;

// In role order: earlier rows win, so "HealthReport_VehicleInfo" is told apart from
// "HealthReport_Data" only by comparing the whole of each prefix.
constexpr const char* kRolePrefixes[kCategoryRoleCount] = {
    "TripData",    "MobileTripLife", "MobileParameters",  "RecordablePids",           "Vehicle Info",
    "FreezeFrame", "RequestPGNs",    "HealthReport_Data", "HealthReport_VehicleInfo",
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

uint16_t ReceivePath::ClassifyCategory(int32_t moduleHandle, int32_t categoryIndex, const char* name) {
    const int role = CategoryRoleForName(name);
    if (role == kNoCategoryRole) return 0;
    // A later category of the same role replaces the id an earlier one left.
    ZCategoryId id = categoryIds_[role];
    const ZResult status =
        Zorv_GetCategoryID(moduleHandle, kDatabaseVehicleIndex, static_cast<uint16_t>(categoryIndex), &id);
    categoryIds_[role] = id;
    return status;
}

void ReceivePath::ClassifyCategories(int32_t moduleHandle) {
    uint16_t categoryCount = 0;
    Zorv_GetCategoryCount(moduleHandle, kDatabaseVehicleIndex, &categoryCount);
    for (uint16_t index = 0; index < categoryCount; ++index) {
        wchar_t wideName[kCategoryNameCapacity] = {};
        char name[kCategoryNameCapacity] = {};
        Zorv_GetCategory(moduleHandle, kDatabaseVehicleIndex, index, kZorvStringTypeDisplay, wideName,
                         kCategoryNameCapacity, name, kCategoryNameCapacity);
        name[kCategoryNameCapacity - 1] = '\0';
        app_.Receiver().ClassifyCategory(moduleHandle, index, name);
    }
}

int16_t ReceivePath::CategoryId(CategoryRole role) const {
    return role >= 0 && role < kCategoryRoleCount ? categoryIds_[role].load() : kNoCategory;
}

}  // namespace marl
