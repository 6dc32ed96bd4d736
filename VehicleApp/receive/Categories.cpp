// Recognising the categories with a fixed role when a module finishes registration.
#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/discovery/HostLists.h"
#include "VehicleApp/receive/CategoryRoles.h"
#include "host/ZorvApi.h"

namespace marl {
static_assert(kCategoryRoleCount == kCategoryIdCount, "one category id per role");

uint16_t CVehicleApp::ClassifyCategory(int32_t moduleHandle, int32_t categoryIndex, const char* name) {
    const int role = CategoryRoleForName(name);
    if (role == kNoCategoryRole) return 0;
    // A later category of the same role replaces the id an earlier one left.
    ZCategoryId id = categoryIds[role];
    const ZResult status =
        Zorv_GetCategoryID(moduleHandle, kDatabaseVehicleIndex, static_cast<uint16_t>(categoryIndex), &id);
    categoryIds[role] = id;
    return status;
}

}  // namespace marl
