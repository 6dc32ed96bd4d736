#include "VehicleApp/discovery/HostLists.h"

#include <algorithm>

#include "host/ZorvApi.h"

namespace marl {
ZResult GetCategoryDataPoints(int32_t moduleHandle, int16_t categoryId, uint16_t capacity,
                              std::vector<TESKID>& teskIds) {
    teskIds.assign(capacity, 0);
    uint16_t count = capacity;
    int16_t categoryIndex = 0;
    const ZResult status =
        Zorv_GetCategoryDPs(moduleHandle, kDatabaseVehicleIndex, categoryId, teskIds.data(), &count, &categoryIndex);
    teskIds.resize(std::min(count, capacity));
    return status;
}

}  // namespace marl
