// Numbers of the J1939 bus and of the host's adapters that registration, component
// identification and sending act on.
#pragma once

#include <cstddef>
#include <cstdint>

namespace marl::j1939 {

// Parameter groups.
constexpr uint32_t kPgnRequest = 0xEA00;
constexpr uint32_t kPgnAddressClaimed = 0xEE00;

// Layout of a message as the host carries it: PGN in bytes 0-2 (least significant
// first), priority, source, destination, then the data.
constexpr size_t kPgnBytes = 3;
constexpr size_t kPriorityIndex = 3;
constexpr size_t kSourceIndex = 4;
constexpr size_t kDestinationIndex = 5;
constexpr size_t kHeaderSize = 6;
constexpr size_t kMaxMessageSize = 0xFFFF;  // the host takes a 16-bit length
constexpr uint8_t kRequestPriority = 6;

// Adapters whose discovery waits for the host's registration-complete command.
constexpr uint16_t kDeferredDiscoveryProductIds[] = {0x40, 0x41, 0x42, 0x46, 0x47, 0x50, 0x53};

// The module-information type code that restricts the supported-PGN list to the
// engine, transmission and brake addresses.
constexpr uint32_t kRestrictedDiscoveryModuleType = 0x4A;

}  // namespace marl::j1939
