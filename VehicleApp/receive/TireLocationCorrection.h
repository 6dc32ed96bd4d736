// One make of tire-pressure ECU numbers its tire locations 0x11 higher than the
// standard does. Its tire messages are corrected before the host parses them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/ZorvRecords.h"

namespace marl {

bool IsOffsetTireLocationEcu(const J1939DecodedName& name);

// Moves the tire location (first data byte) of a tire message from that ECU back by
// 0x11. Locations below 0x11, messages without a data byte and other ECUs stay as they
// are.
void CorrectTireLocation(const J1939DecodedName& sender, uint8_t* message, size_t length);

}  // namespace marl
