// Reduces a bus message to a bucket number below `divisor`, for the host's message
// tables. Messages starting 0x11 are keyed by bytes 1 and 2; messages starting 0x91 or
// of four bytes or more by their first four bytes; shorter ones by their first byte.
#pragma once

#include <cstdint>

namespace marl {

constexpr uint8_t kHashTwoByteKeyMarker = 0x11;
constexpr uint8_t kHashFourByteKeyMarker = 0x91;

// Bytes the message does not have are not read: a key byte beyond `length` counts as 0.
// A divisor of 0 or less gives 0 instead of a division fault.
uint32_t HashMessage(const uint8_t* message, int16_t length, int32_t divisor);

}  // namespace marl
