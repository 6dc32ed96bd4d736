#include "hostsim/bus/J1939Name.h"

#include <cstddef>
#include <cstring>

namespace hostsim {
namespace {

// Bit positions of the NAME's fields.
constexpr unsigned kManufacturerShift = 21;
constexpr unsigned kEcuInstanceShift = 32;
constexpr unsigned kFunctionInstanceShift = 35;
constexpr unsigned kFunctionShift = 40;
constexpr unsigned kVehicleSystemShift = 49;
constexpr unsigned kVehicleSystemInstanceShift = 56;
constexpr unsigned kIndustryGroupShift = 60;
constexpr unsigned kArbitraryAddressShift = 63;
constexpr uint64_t kFunctionMask = 0xFF;

// Layout of the decoded record beyond the fields the plug-in reads by name.
constexpr size_t kAddressOffset = 0;
constexpr size_t kVehicleSystemOffset = 2;
constexpr size_t kGroupByteOffset = 3;
constexpr size_t kIdentityOffset = 12;
constexpr size_t kLowWordOffset = 16;
constexpr uint8_t kGroupByteMarker = 0x80;
constexpr unsigned kGroupByteIndustryShift = 4;
constexpr unsigned kFunctionInstanceWordShift = 16;
constexpr unsigned kWordBits = 32;
constexpr uint32_t kWordMask = 0xFFFFFFFFu;
constexpr unsigned kByteBits = 8;
constexpr uint64_t kByteMask = 0xFF;
constexpr size_t kNameByteCount = 8;
constexpr uint32_t kLastWordArbitraryAddressBit = 0x80000000u;

uint64_t Field(uint64_t name, unsigned shift, uint64_t mask) { return (name >> shift) & mask; }

void PutWord(J1939DecodedName& decoded, size_t offset, uint32_t value) {
    std::memcpy(reinterpret_cast<uint8_t*>(&decoded) + offset, &value, sizeof(value));
}

uint32_t GetWord(const J1939DecodedName& decoded, size_t offset) {
    uint32_t value = 0;
    std::memcpy(&value, reinterpret_cast<const uint8_t*>(&decoded) + offset, sizeof(value));
    return value;
}

}  // namespace

bool J1939NameFields::operator==(const J1939NameFields& other) const {
    return EncodeName(*this) == EncodeName(other);
}

uint64_t EncodeName(const J1939NameFields& fields) {
    uint64_t name = fields.identityNumber & kMaxIdentityNumber;
    name |= static_cast<uint64_t>(fields.manufacturerCode & kMaxManufacturerCode) << kManufacturerShift;
    name |= static_cast<uint64_t>(fields.ecuInstance & kMaxEcuInstance) << kEcuInstanceShift;
    name |= static_cast<uint64_t>(fields.functionInstance & kMaxFunctionInstance) << kFunctionInstanceShift;
    name |= static_cast<uint64_t>(fields.function) << kFunctionShift;
    name |= static_cast<uint64_t>(fields.vehicleSystem & kMaxVehicleSystem) << kVehicleSystemShift;
    name |= static_cast<uint64_t>(fields.vehicleSystemInstance & kMaxVehicleSystemInstance)
            << kVehicleSystemInstanceShift;
    name |= static_cast<uint64_t>(fields.industryGroup & kMaxIndustryGroup) << kIndustryGroupShift;
    name |= static_cast<uint64_t>(fields.arbitraryAddressCapable ? 1 : 0) << kArbitraryAddressShift;
    return name;
}

J1939NameFields DecodeName(uint64_t name) {
    J1939NameFields fields;
    fields.identityNumber = static_cast<uint32_t>(name & kMaxIdentityNumber);
    fields.manufacturerCode = static_cast<uint16_t>(Field(name, kManufacturerShift, kMaxManufacturerCode));
    fields.ecuInstance = static_cast<uint8_t>(Field(name, kEcuInstanceShift, kMaxEcuInstance));
    fields.functionInstance = static_cast<uint8_t>(Field(name, kFunctionInstanceShift, kMaxFunctionInstance));
    fields.function = static_cast<uint8_t>(Field(name, kFunctionShift, kFunctionMask));
    fields.vehicleSystem = static_cast<uint8_t>(Field(name, kVehicleSystemShift, kMaxVehicleSystem));
    fields.vehicleSystemInstance =
        static_cast<uint8_t>(Field(name, kVehicleSystemInstanceShift, kMaxVehicleSystemInstance));
    fields.industryGroup = static_cast<uint8_t>(Field(name, kIndustryGroupShift, kMaxIndustryGroup));
    fields.arbitraryAddressCapable = Field(name, kArbitraryAddressShift, 1) != 0;
    return fields;
}

uint64_t NameFromBytes(const uint8_t* bytes) {
    uint64_t name = 0;
    for (size_t i = 0; i < kNameByteCount; ++i) name |= static_cast<uint64_t>(bytes[i]) << (kByteBits * i);
    return name;
}

void NameToBytes(uint64_t name, uint8_t* bytes) {
    for (size_t i = 0; i < kNameByteCount; ++i) bytes[i] = static_cast<uint8_t>((name >> (kByteBits * i)) & kByteMask);
}

J1939DecodedName DecodedNameOf(uint64_t name, uint8_t claimedAddress) {
    J1939NameFields fields = DecodeName(name);
    J1939DecodedName decoded;
    std::memset(&decoded, 0, sizeof(decoded));
    auto* bytes = reinterpret_cast<uint8_t*>(&decoded);
    bytes[kAddressOffset] = claimedAddress;
    decoded.function = fields.function;
    bytes[kVehicleSystemOffset] = fields.vehicleSystem;
    bytes[kGroupByteOffset] = static_cast<uint8_t>(
        kGroupByteMarker | (fields.industryGroup << kGroupByteIndustryShift) | fields.vehicleSystemInstance);
    decoded.instanceWord = static_cast<uint32_t>(fields.ecuInstance) |
                           (static_cast<uint32_t>(fields.functionInstance) << kFunctionInstanceWordShift);
    decoded.manufacturer = fields.manufacturerCode;
    PutWord(decoded, kIdentityOffset, fields.identityNumber);
    PutWord(decoded, kLowWordOffset, static_cast<uint32_t>(name & kWordMask));
    decoded.lastWord = static_cast<uint32_t>(name >> kWordBits);
    return decoded;
}

uint64_t NameOfDecoded(const J1939DecodedName& decoded) {
    uint32_t last = decoded.lastWord;
    return (static_cast<uint64_t>(last) << kWordBits) | GetWord(decoded, kLowWordOffset);
}

bool IsArbitraryAddressCapable(uint32_t lastWord) { return (lastWord & kLastWordArbitraryAddressBit) != 0; }

}  // namespace hostsim
