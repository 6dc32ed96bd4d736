// The SAE J1939 facts that the plug-in, the stand-in host and the tools all act on:
// addresses, parameter group numbers, the layout of a message as the host carries it,
// acknowledgement and transport-protocol control bytes, and the reading and writing of
// a PGN. Header only, so that every target can share it without linking anything.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace j1939 {

// ---- addresses ----
constexpr uint8_t kGlobalAddress = 0xFF;
// The null address: an ECU that could not claim one; nothing is ever sent to it.
constexpr uint8_t kNullAddress = 0xFE;
// The diagnostic tool's own address, claimed on every channel the tool uses.
constexpr uint8_t kToolAddress = 0xF9;
// Highest address an ECU may claim; 254 and 255 are the null and global addresses.
constexpr uint8_t kMaxClaimableAddress = 0xFD;
// Self-configurable ECUs take their address from this range when they claim.
constexpr uint8_t kFirstDynamicAddress = 0x80;
constexpr uint8_t kLastDynamicAddress = 0xF7;
// The engines sit at 0 and 1; the engine at 0 keeps the trip data.
constexpr uint8_t kEngineAddress = 0x00;
constexpr uint8_t kLastEngineAddress = 0x01;
constexpr uint8_t kFuelSystemAddress = 0x12;

// ---- parameter groups ----
constexpr uint32_t kPgnDm30 = 0xA400;  // scaled test results
constexpr uint32_t kPgn40704 = 0x9F00;
constexpr uint32_t kPgnDm22 = 0xC300;  // individual clear/reset
constexpr uint32_t kPgnDm7 = 0xE300;   // command non-continuous test
constexpr uint32_t kPgnAcknowledgement = 0xE800;
constexpr uint32_t kPgnRequest = 0xEA00;
constexpr uint32_t kPgnTpData = 0xEB00;
constexpr uint32_t kPgnTpConnection = 0xEC00;
constexpr uint32_t kPgnAddressClaimed = 0xEE00;
constexpr uint32_t kPgnDm28 = 0xFD80;  // permanent DTCs
constexpr uint32_t kPgnDm27 = 0xFD82;
constexpr uint32_t kPgnDm23 = 0xFDB5;
constexpr uint32_t kPgnTireLocation = 0xFDB9;
constexpr uint32_t kPgnDm1 = 0xFECA;  // active DTCs
constexpr uint32_t kPgnDm2 = 0xFECB;  // previously active DTCs
constexpr uint32_t kPgnDm3 = 0xFECC;  // clear previously active DTCs
constexpr uint32_t kPgnDm4 = 0xFECD;  // freeze frame
constexpr uint32_t kPgnDm6 = 0xFECF;
constexpr uint32_t kPgnDm11 = 0xFED3;  // clear active DTCs
constexpr uint32_t kPgnDm12 = 0xFED4;
constexpr uint32_t kPgnSoftwareIdentification = 0xFEDA;
constexpr uint32_t kPgnVehicleIdentification = 0xFEEC;
constexpr uint32_t kPgnTireCondition = 0xFEF4;

// PDU1 parameter groups (format byte below 240) carry the destination in the PS byte.
constexpr uint8_t kFirstPdu2Format = 240;
constexpr uint32_t kPgnMask = 0x3FFFF;
constexpr unsigned kPgnFormatShift = 8;
constexpr uint32_t kPgnSpecificMask = 0xFF;
constexpr uint32_t kPgnPageAndFormatMask = 0x3FF00;

// ---- a message as the host carries it ----
// PGN in bytes 0-2 (least significant first), priority, source, destination, then data.
constexpr size_t kPgnBytes = 3;
constexpr size_t kPriorityIndex = 3;
constexpr size_t kSourceIndex = 4;
constexpr size_t kDestinationIndex = 5;
constexpr size_t kHeaderSize = 6;
constexpr size_t kSingleFrameBytes = 8;
// A single-frame message: the header and eight data bytes.
constexpr size_t kSingleFrameLength = kHeaderSize + kSingleFrameBytes;
// Too short to name a sender.
constexpr size_t kShortestMessage = kSourceIndex + 1;
constexpr size_t kMaxMessageSize = 0xFFFF;  // the host takes a 16-bit length
constexpr size_t kNameBytes = 8;
// A data byte of all ones: "parameter not available"; also what pads a short frame.
constexpr uint8_t kNotAvailableByte = 0xFF;
constexpr uint8_t kPaddingByte = 0xFF;

constexpr uint8_t kDefaultPriority = 6;
constexpr uint8_t kRequestPriority = 6;
constexpr uint8_t kTransportPriority = 7;
constexpr uint8_t kMaxPriority = 7;

// ---- acknowledgement (PGN 0xE800): control byte first, acknowledged PGN last ----
constexpr uint8_t kAckPositive = 0;
constexpr uint8_t kAckNegative = 1;
constexpr uint8_t kAckAccessDenied = 2;
// "Cannot respond": the ECU will answer later.
constexpr uint8_t kAckCannotRespond = 3;
constexpr uint8_t kAckGroupFunctionNone = 0xFF;

// ---- transport protocol: connection-management control bytes, packet size, limits ----
constexpr uint8_t kTpRequestToSend = 16;
constexpr uint8_t kTpClearToSend = 17;
constexpr uint8_t kTpEndOfMessageAck = 19;
constexpr uint8_t kTpBroadcastAnnounce = 32;
constexpr uint8_t kTpAbort = 255;
constexpr size_t kTpPacketPayload = 7;
constexpr size_t kTpMaxMessageBytes = 1785;
constexpr size_t kTpMaxPackets = 255;

// ---- an SPN with its FMI, as trouble codes, DM7 and DM30 carry them ----
// SPN low and middle bytes, then the SPN's top three bits above the five FMI bits.
constexpr size_t kSpnFmiBytes = 3;
constexpr unsigned kSpnHighPosition = 16;
constexpr unsigned kSpnHighShift = 5;
constexpr uint32_t kSpnHighMask = 0x07;
constexpr uint8_t kFmiMask = 0x1F;

// ---- DM7 tests ----
// Test identifier 249 with SPN 4175 (DPF active regeneration forced status) and FMI 31
// is the common way for a service tool to have a DPF regenerated; the ECU reports the
// outcome in a DM30.
constexpr uint8_t kTidDpfRegeneration = 249;
constexpr uint32_t kSpnDpfActiveRegenerationForced = 4175;
constexpr uint8_t kFmiNotAvailable = 31;
// One DM30 test result: test identifier, SPN and FMI, SLOT, test value, maximum, minimum.
constexpr size_t kDm30ResultBytes = 12;

// The 24-bit PGN stored least significant byte first at `bytes`.
inline uint32_t ReadPgn(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16;
}

// Appends `pgn` in the three bytes a message carries it in, least significant first.
inline void AppendPgn(std::vector<uint8_t>& bytes, uint32_t pgn) {
    for (size_t i = 0; i < kPgnBytes; ++i) bytes.push_back(static_cast<uint8_t>(pgn >> (8 * i)));
}

// Appends an SPN and its FMI in their three bytes.
inline void AppendSpnFmi(std::vector<uint8_t>& bytes, uint32_t spn, uint8_t fmi) {
    bytes.push_back(static_cast<uint8_t>(spn));
    bytes.push_back(static_cast<uint8_t>(spn >> 8));
    bytes.push_back(static_cast<uint8_t>((spn >> kSpnHighPosition & kSpnHighMask) << kSpnHighShift | (fmi & kFmiMask)));
}

inline uint32_t ReadSpn(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2] >> kSpnHighShift) << kSpnHighPosition;
}

inline uint8_t ReadFmi(const uint8_t* bytes) { return bytes[2] & kFmiMask; }

}  // namespace j1939
