#include "VehicleApp/boundary/HashMessage.h"

namespace marl {

uint32_t HashMessage(const uint8_t* message, int16_t length, int32_t divisor) {
    if (message == nullptr || length <= 0 || divisor <= 0) return 0;
    int first = 0;
    int last = 0;  // inclusive
    if (message[0] == kHashTwoByteKeyMarker) {
        first = 1;
        last = 2;
    } else if (message[0] == kHashFourByteKeyMarker || length >= 4) {
        last = 3;
    }
    uint32_t sum = 0;
    for (int i = first; i <= last && i < length; ++i) sum += message[i];
    return sum % static_cast<uint32_t>(divisor);
}

}  // namespace marl
