// Numbers of the J1939 bus that the stand-in host's network, parser and bus log share:
// addresses, parameter groups, priorities and the transport protocol's control bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/ZorvTypes.h"

namespace hostsim::j1939 {

constexpr uint8_t kGlobalAddress = 0xFF;
constexpr uint8_t kNullAddress = 0xFE;
// Highest address an ECU may claim; 254 and 255 are the null and global addresses.
constexpr uint8_t kMaxClaimableAddress = 0xFD;
// Self-configurable ECUs take their address from this range when they claim.
constexpr uint8_t kFirstDynamicAddress = 0x80;
constexpr uint8_t kLastDynamicAddress = 0xF7;

constexpr ZPgn kPgnRequest = 0xEA00;
constexpr ZPgn kPgnAddressClaimed = 0xEE00;
constexpr ZPgn kPgnAcknowledgment = 0xE800;
constexpr ZPgn kPgnTpConnection = 0xEC00;
constexpr ZPgn kPgnTpData = 0xEB00;

// PDU1 parameter groups (format byte below 240) carry the destination in the PS byte.
constexpr uint8_t kFirstPdu2Format = 240;
constexpr ZPgn kPgnMask = 0x3FFFF;
constexpr unsigned kPgnFormatShift = 8;
constexpr ZPgn kPgnSpecificMask = 0xFF;
constexpr ZPgn kPgnPageAndFormatMask = 0x3FF00;

constexpr uint8_t kDefaultPriority = 6;
constexpr uint8_t kTransportPriority = 7;
constexpr uint8_t kMaxPriority = 7;

// Bytes of a PGN inside a message (least significant first).
constexpr size_t kPgnBytes = 3;
constexpr size_t kNameBytes = 8;
constexpr size_t kSingleFrameBytes = 8;
constexpr uint8_t kPaddingByte = 0xFF;

// Acknowledgment control bytes and the fixed fields of a negative acknowledgement.
constexpr uint8_t kAckPositive = 0;
constexpr uint8_t kAckNegative = 1;
constexpr uint8_t kAckGroupFunctionNone = 0xFF;

// Transport protocol: connection management control bytes, packet size and limits.
constexpr uint8_t kTpRequestToSend = 16;
constexpr uint8_t kTpClearToSend = 17;
constexpr uint8_t kTpEndOfMessageAck = 19;
constexpr uint8_t kTpBroadcastAnnounce = 32;
constexpr uint8_t kTpAbort = 255;
constexpr size_t kTpPacketPayload = 7;
constexpr size_t kTpMaxMessageBytes = 1785;
constexpr size_t kTpMaxPackets = 255;

}  // namespace hostsim::j1939
