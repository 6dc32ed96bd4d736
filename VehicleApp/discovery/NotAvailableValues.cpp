#include "VehicleApp/discovery/NotAvailableValues.h"

#include <string>

#include "VehicleApp/discovery/DataPointText.h"
#include "host/ZorvApi.h"

namespace marl {
namespace {

constexpr const wchar_t* kNotAvailableResource = L"NotAvailable";
constexpr const wchar_t* kNotAvailableText = L"N/A";

bool ReadsNotAvailable(int32_t moduleHandle, TESKID teskId) {
    ZPgn pgn = 0;
    if (Zorv_GetPIDForTESKID(moduleHandle, teskId, &pgn) != kZorvSuccess) return false;
    int32_t visible = 0;
    if (Zorv_GetDPVisibility(moduleHandle, teskId, &visible) != kZorvSuccess || visible == 0) return false;
    // Loaded for each data point: the host may switch its display language meanwhile.
    std::wstring localized;
    if (!LoadDisplayResource(moduleHandle, kNotAvailableResource, localized)) return false;
    std::wstring value;
    if (!ReadDataPointValueText(moduleHandle, teskId, kValueSelectorDisplayed, value)) return false;
    sDpAttribute attribute{};
    if (Zorv_GetDPAttributes(moduleHandle, teskId, &attribute) != kZorvSuccess) return false;
    if (attribute.kind == kDpKindNeverNotAvailable || attribute.guidedTest != 0) return false;
    return value == localized || value == kNotAvailableText;
}

}  // namespace

void HideNotAvailableValues(int32_t moduleHandle) {
    uint16_t count = 0;
    Zorv_GetDPCount(moduleHandle, &count);
    for (uint16_t index = 0; index < count; ++index) {
        TESKID teskId = 0;
        if (Zorv_GetDPID(moduleHandle, index, &teskId) != kZorvSuccess) continue;
        if (ReadsNotAvailable(moduleHandle, teskId)) Zorv_SetDataPointVisible(moduleHandle, teskId, 0);
    }
}

}  // namespace marl
