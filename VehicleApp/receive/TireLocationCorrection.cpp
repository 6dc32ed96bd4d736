#include "VehicleApp/receive/TireLocationCorrection.h"

#include "VehicleApp/core/J1939Constants.h"

namespace marl {
namespace {

constexpr uint32_t kTireEcuManufacturer = 312;
constexpr uint8_t kTireEcuFunction = 38;
constexpr uint32_t kFunctionInstanceMask = 0x1F0000;
constexpr uint32_t kTireEcuFunctionInstance = 0x080000;
constexpr uint8_t kTireLocationOffset = 0x11;
constexpr size_t kTireLocationIndex = j1939::kHeaderSize;

}  // namespace

bool IsOffsetTireLocationEcu(const J1939DecodedName& name) {
    return name.manufacturer == kTireEcuManufacturer && name.function == kTireEcuFunction &&
           (name.instanceWord & kFunctionInstanceMask) == kTireEcuFunctionInstance;
}

void CorrectTireLocation(const J1939DecodedName& sender, uint8_t* message, size_t length) {
    if (length <= kTireLocationIndex || !IsOffsetTireLocationEcu(sender)) return;
    if (message[kTireLocationIndex] >= kTireLocationOffset) message[kTireLocationIndex] -= kTireLocationOffset;
}

}  // namespace marl
