// The 64-bit J1939 NAME an ECU sends in its Address Claimed message, its fields, and the
// host's decoded NAME record that GetJ1939NAME hands to the plug-in.
//
// Decoded record (24 bytes), as this host fills it:
//   byte 0      address the NAME was claimed at
//   byte 1      function
//   byte 2      vehicle system
//   byte 3      bit 7 set in every decoded record, industry group in bits 4-6, vehicle
//               system instance in bits 0-3. The set bit keeps the first word of a NAME
//               above 0xFF, so CheckAssignable never mistakes it for an address.
//   word @4     ECU instance in bits 0-2, function instance in bits 16-20
//   word @8     manufacturer code
//   word @12    identity number
//   word @16    the NAME's low 32 bits
//   word @20    the NAME's high 32 bits (bit 31: arbitrary address capable)
#pragma once

#include <cstdint>

#include "host/ZorvRecords.h"

namespace hostsim {

struct J1939NameFields {
    uint32_t identityNumber = 0;        // 21 bits
    uint16_t manufacturerCode = 0;      // 11 bits
    uint8_t ecuInstance = 0;            // 3 bits
    uint8_t functionInstance = 0;       // 5 bits
    uint8_t function = 0;
    uint8_t vehicleSystem = 0;          // 7 bits
    uint8_t vehicleSystemInstance = 0;  // 4 bits
    uint8_t industryGroup = 0;          // 3 bits
    bool arbitraryAddressCapable = false;

    bool operator==(const J1939NameFields& other) const;
};

// Widest value of each field.
constexpr uint32_t kMaxIdentityNumber = 0x1FFFFF;
constexpr uint16_t kMaxManufacturerCode = 0x7FF;
constexpr uint8_t kMaxEcuInstance = 0x7;
constexpr uint8_t kMaxFunctionInstance = 0x1F;
constexpr uint8_t kMaxVehicleSystem = 0x7F;
constexpr uint8_t kMaxVehicleSystemInstance = 0xF;
constexpr uint8_t kMaxIndustryGroup = 0x7;

uint64_t EncodeName(const J1939NameFields& fields);
J1939NameFields DecodeName(uint64_t name);

// The NAME in the eight data bytes of an Address Claimed message (little-endian).
uint64_t NameFromBytes(const uint8_t* bytes);
void NameToBytes(uint64_t name, uint8_t* bytes);

J1939DecodedName DecodedNameOf(uint64_t name, uint8_t claimedAddress);
// Read back from a decoded record; the raw NAME words make it exact.
uint64_t NameOfDecoded(const J1939DecodedName& decoded);

// Bit 31 of the last word of a decoded record: the NAME's arbitrary-address-capable bit.
bool IsArbitraryAddressCapable(uint32_t lastWord);
// Bit 7 of byte 3 (the first word's top bit): the record came from a claim.
constexpr uint32_t kDecodedNameMarker = 0x80000000u;

}  // namespace hostsim
