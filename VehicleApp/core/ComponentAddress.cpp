#include "VehicleApp/core/ComponentAddress.h"

#include <algorithm>
#include <iterator>

#include "VehicleApp/text/WideText.h"
#include "j1939/Protocol.h"

namespace marl {
namespace {

struct FunctionAddress {
    uint8_t function;
    uint8_t address;
};

constexpr FunctionAddress kFunctionAddresses[] = {
    {0, 0x00},  {3, 0x03},  {9, 0x0B},  {12, 0x0F}, {19, 0x17}, {26, 0x21}, {32, 0x2A},
    {37, 0x31}, {38, 0x33}, {44, 0x3D}, {45, 0x3E}, {52, 0x47}, {54, 0x4A},
};

constexpr uint8_t kBrakeAddresses[] = {0x0C, 0x0D, 0x0E, 0xBA, 0xC2, 0xCA};

constexpr const char* kComponentPrefix = "SA_";
constexpr int kComponentHexDigits = 2;

}  // namespace

uint8_t ComponentAddressForFunction(uint8_t function) {
    for (const FunctionAddress& entry : kFunctionAddresses) {
        if (entry.function == function) return entry.address;
    }
    return j1939::kNullAddress;
}

bool IsBrakeAddress(uint8_t address) {
    return std::find(std::begin(kBrakeAddresses), std::end(kBrakeAddresses), address) != std::end(kBrakeAddresses);
}

uint8_t FoldComponentAddress(uint8_t address) { return IsBrakeAddress(address) ? kBrakeComponentAddress : address; }

bool IsBrakeController(uint8_t address) { return FoldComponentAddress(address) == kBrakeComponentAddress; }

std::string ComponentName(uint32_t address) { return kComponentPrefix + text::HexNarrow(address, kComponentHexDigits); }

}  // namespace marl
