#include "VehicleApp/vehicleinfo/FuelSystemMake.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "VehicleApp/core/J1939Constants.h"

namespace marl {
namespace {
constexpr const char* kDeferredAdapterMakerCode = "AGILITY";
constexpr const char* kMakerCode = "CMMNS";
}  // namespace

const char* FuelSystemMakerCode(int32_t productId) {
    const auto id = static_cast<uint16_t>(productId);
    const bool deferred =
        std::find(std::begin(j1939::kDeferredDiscoveryProductIds), std::end(j1939::kDeferredDiscoveryProductIds), id) !=
        std::end(j1939::kDeferredDiscoveryProductIds);
    return deferred ? kDeferredAdapterMakerCode : kMakerCode;
}

bool MakeMatchesMakerCode(const uint8_t* value, size_t length, const char* makerCode) {
    const size_t codeLength = std::strlen(makerCode);
    for (size_t i = 0; i < codeLength; ++i) {
        const uint8_t byte = value != nullptr && i < length ? value[i] : 0;
        if (byte != static_cast<uint8_t>(makerCode[i])) return false;
    }
    return true;
}

}  // namespace marl
