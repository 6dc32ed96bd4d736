#include "VehicleApp/discovery/DataPointText.h"

#include <array>
#include <vector>

#include "VehicleApp/text/WideText.h"
#include "host/ZorvApi.h"

namespace marl {
namespace {

// The host formats resource texts into 256 characters.
constexpr uint16_t kResourceTextCapacity = 256;
constexpr int32_t kValueTextFormat = 2;

}  // namespace

bool ReadDataPointValueText(int32_t moduleHandle, TESKID teskId, uint32_t selector, std::wstring& text,
                            uint16_t capacity) {
    std::vector<wchar_t> buffer(capacity, L'\0');
    uint32_t length = capacity;
    if (Zorv_GetDataPointValueStr(moduleHandle, teskId, selector, kValueTextFormat, buffer.data(), capacity, &length) !=
        kZorvSuccess)
        return false;
    text = text::FromBuffer(buffer.data(), buffer.size());
    return true;
}

bool LoadDisplayResource(int32_t moduleHandle, const wchar_t* name, std::wstring& text) {
    std::array<wchar_t, kResourceTextCapacity> buffer{};
    if (Zorv_LoadResourceStringByName(moduleHandle, name, kZorvStringTypeDisplay, buffer.data(),
                                      kResourceTextCapacity) != kZorvSuccess)
        return false;
    text = text::FromBuffer(buffer.data(), buffer.size());
    return true;
}

}  // namespace marl
