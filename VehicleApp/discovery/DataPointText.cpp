#include "VehicleApp/discovery/DataPointText.h"

#include <array>

#include "host/ZorvApi.h"

namespace marl {
namespace {

// The host formats values into 255 characters and resource texts into 256.
constexpr uint16_t kValueTextCapacity = 255;
constexpr uint16_t kResourceTextCapacity = 256;
constexpr int32_t kValueTextFormat = 2;

// Up to the first terminator, or the whole buffer when the host left none.
template <size_t N>
std::wstring BoundedText(const std::array<wchar_t, N>& buffer) {
    size_t n = 0;
    while (n < N && buffer[n] != L'\0') ++n;
    return std::wstring(buffer.data(), n);
}

}  // namespace

bool ReadDataPointValueText(int32_t moduleHandle, TESKID teskId, uint32_t selector, std::wstring& text) {
    std::array<wchar_t, kValueTextCapacity> buffer{};
    uint32_t length = kValueTextCapacity;
    if (Zorv_GetDataPointValueStr(moduleHandle, teskId, selector, kValueTextFormat, buffer.data(), kValueTextCapacity,
                                  &length) != kZorvSuccess)
        return false;
    text = BoundedText(buffer);
    return true;
}

bool LoadDisplayResource(int32_t moduleHandle, const wchar_t* name, std::wstring& text) {
    std::array<wchar_t, kResourceTextCapacity> buffer{};
    if (Zorv_LoadResourceStringByName(moduleHandle, name, kZorvStringTypeDisplay, buffer.data(),
                                      kResourceTextCapacity) != kZorvSuccess)
        return false;
    text = BoundedText(buffer);
    return true;
}

}  // namespace marl
