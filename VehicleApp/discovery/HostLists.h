// Lists the host fills into buffers the plug-in provides. The host reports how many
// entries it wrote; a report larger than the buffer is cut to the buffer, never read
// past it.
#pragma once

#include <cstdint>
#include <vector>

#include "host/ZorvTypes.h"

namespace marl {

// The parameter database describes one vehicle.
constexpr uint16_t kDatabaseVehicleIndex = 0;

// Room the callers give Zorv_GetCategoryDPs.
constexpr uint16_t kCategoryListCapacity = 1024;
constexpr uint16_t kHealthCategoryListCapacity = 255;

// Zorv_GetCategoryDPs(moduleHandle, 0, categoryId, ...) with room for `capacity`
// data points. The list holds what the reported count names, even when the host's
// result is not 0 (callers decide whether to look at the result).
ZResult GetCategoryDataPoints(int32_t moduleHandle, int16_t categoryId, uint16_t capacity,
                              std::vector<TESKID>& teskIds);

}  // namespace marl
