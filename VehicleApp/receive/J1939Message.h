// The parameter groups the receive path and discovery act on, beyond the ones
// registration and sending know (core/J1939Constants.h), and the reading of a received
// message's PGN.
#pragma once

#include <cstddef>
#include <cstdint>

#include "VehicleApp/core/J1939Constants.h"

namespace marl::j1939 {

// A single-frame message: the header and eight data bytes.
constexpr size_t kSingleFrameLength = kHeaderSize + 8;
// Too short to name a sender.
constexpr int16_t kShortestMessage = static_cast<int16_t>(kSourceIndex + 1);
// A data byte of all ones: "parameter not available".
constexpr uint8_t kNotAvailableByte = 0xFF;

constexpr uint32_t kPgnMask = 0xFFFFFF;

constexpr uint32_t kPgnDm30 = 0xA400;              // scaled test results
constexpr uint32_t kPgn40704 = 0x9F00;
constexpr uint32_t kPgnDm22 = 0xC300;              // individual clear/reset
constexpr uint32_t kPgnDm7 = 0xE300;               // command non-continuous test
constexpr uint32_t kPgnAcknowledgement = 0xE800;
constexpr uint32_t kPgnDm28 = 0xFD80;              // permanent DTCs
constexpr uint32_t kPgnDm27 = 0xFD82;
constexpr uint32_t kPgnDm23 = 0xFDB5;
constexpr uint32_t kPgnTireLocation = 0xFDB9;
constexpr uint32_t kPgnDm1 = 0xFECA;               // active DTCs
constexpr uint32_t kPgnDm2 = 0xFECB;               // previously active DTCs
constexpr uint32_t kPgnDm3 = 0xFECC;               // clear previously active DTCs
constexpr uint32_t kPgnDm4 = 0xFECD;               // freeze frame
constexpr uint32_t kPgnDm6 = 0xFECF;
constexpr uint32_t kPgnDm11 = 0xFED3;              // clear active DTCs
constexpr uint32_t kPgnDm12 = 0xFED4;
constexpr uint32_t kPgnSoftwareIdentification = 0xFEDA;
constexpr uint32_t kPgnTireCondition = 0xFEF4;

// The engines sit at 0 and 1; the engine at 0 keeps the trip data.
constexpr uint8_t kEngineAddress = 0;
constexpr uint8_t kLastEngineAddress = 1;

// PGNs up to this value are not worth probing: proprietary and transport groups.
constexpr uint32_t kHighestUnprobedPgn = 4096;

// The 24-bit PGN stored least significant byte first at `bytes`.
uint32_t ReadPgn(const uint8_t* bytes);

}  // namespace marl::j1939
