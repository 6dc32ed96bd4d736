#include "VehicleApp/boundary/AddressText.h"

#include <cstring>
#include <cwchar>

namespace marl {
namespace {
constexpr int16_t kDefaultChannel = 1;
constexpr int kAddressModulus = 256;
constexpr int kChannelShift = 8;
}  // namespace

ModuleInfo ModuleInfoFromAddressText(const wchar_t* addressText) {
    ModuleInfo info;
    std::memset(&info, 0, sizeof(info));
    long parsed = addressText != nullptr ? std::wcstol(addressText, nullptr, 10) : 0;
    // The host hands a 16-bit number; wider texts wrap as they would in a 16-bit field.
    const auto n = static_cast<int16_t>(static_cast<uint16_t>(parsed & 0xFFFF));
    info.ecuAddress = static_cast<int16_t>(n % kAddressModulus);
    info.channel = n >= kAddressModulus ? static_cast<int16_t>(n >> kChannelShift) : kDefaultChannel;
    return info;
}

}  // namespace marl
