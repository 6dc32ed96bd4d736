// The vehicle identification number as the host's VIN data point shows it.
#include <algorithm>
#include <iterator>
#include <string>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/text/WideText.h"
#include "host/ZorvApi.h"

namespace marl {
namespace {

constexpr uint32_t kCurrentValue = 0;
constexpr int32_t kValueTextFormat = 2;
constexpr uint16_t kResultVinNotAvailable = 12;
// Texts the host shows when the ECU has no VIN to give.
constexpr const wchar_t* kNoVinTexts[] = {L"N/A", L"n/a", L"--"};

void ZeroText(wchar_t* text, size_t capacity) {
    if (text != nullptr) std::fill(text, text + capacity, L'\0');
}

}  // namespace

uint16_t VehicleInfo::GetVin(int32_t moduleHandle, wchar_t* text, int16_t* length) {
    const size_t capacity = text != nullptr ? text::CapacityOf(length) : 0;
    ZeroText(text, capacity);

    TESKID teskId = 0;
    uint32_t count = 1;
    Zorv_GetTeskIdsFromUdiList(moduleHandle, &zorv::kUdiVin, 1, &teskId, &count);
    if (teskId == 0) return 0;
    Zorv_SetDataPointVisible(moduleHandle, teskId, 1);

    uint32_t textLength = 0;
    const ZResult status = Zorv_GetDataPointValueStr(moduleHandle, teskId, kCurrentValue, kValueTextFormat, text,
                                                     static_cast<uint16_t>(capacity), &textLength);
    if (status != 0) trace_.Write(kTraceFailure, status, L"%s", L"CVehicleApp::GetVin (Line 3610)");

    const std::wstring vin = text::FromBuffer(text, capacity);
    const bool noVin = std::any_of(std::begin(kNoVinTexts), std::end(kNoVinTexts),
                                   [&vin](const wchar_t* none) { return vin == none; });
    if (!noVin) {
        // The VIN goes into the next recording's [VIN] section.
        if (status == kZorvSuccess && !vin.empty()) app_.Recorder().KeepVin(vin);
        if (length != nullptr) *length = static_cast<int16_t>(std::min<size_t>(textLength, capacity));
        return status;
    }
    ZeroText(text, capacity);
    if (length != nullptr) *length = 0;
    return kResultVinNotAvailable;
}

}  // namespace marl
