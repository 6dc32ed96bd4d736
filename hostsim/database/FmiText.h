// The texts of the J1939 failure mode identifiers, what the host's fault screen shows
// beside a code's SPN.
#pragma once

#include <cstdint>

namespace hostsim {

// The FMI's standard description; an empty text for a value beyond the five bits of an FMI.
const char* FmiText(uint8_t fmi);

}  // namespace hostsim
