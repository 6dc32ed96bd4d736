// The plug-in's own policy on top of the bus's facts (j1939/Protocol.h): which adapters
// defer discovery, which module type restricts it, and which PGNs are not worth probing.
#pragma once

#include <cstddef>
#include <cstdint>

#include "j1939/Protocol.h"

namespace marl {
namespace j1939 {
using namespace ::j1939;

// Adapters whose discovery waits for the host's registration-complete command.
constexpr uint16_t kDeferredDiscoveryProductIds[] = {0x40, 0x41, 0x42, 0x46, 0x47, 0x50, 0x53};

// The module-information type code that restricts the supported-PGN list to the
// engine, transmission and brake addresses.
constexpr uint32_t kRestrictedDiscoveryModuleType = 0x4A;

// PGNs up to this value are not worth probing: proprietary and transport groups.
constexpr uint32_t kHighestUnprobedPgn = 4096;
}  // namespace j1939

using ::j1939::kGlobalAddress;
using ::j1939::kNullAddress;
using ::j1939::kToolAddress;

}  // namespace marl
