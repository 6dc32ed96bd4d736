// The fuel system at address 18 is shown with fixed make and model texts: the bus gives
// a maker code and model number that mean nothing to the user.
#include <algorithm>
#include <array>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/vehicleinfo/FuelSystemMake.h"
#include "host/ZorvApi.h"

namespace marl {
namespace {

constexpr const char* kMakeDataPoint = "SPN_586";
constexpr const char* kModelDataPoint = "SPN_587_0";
constexpr uint16_t kMakeValueCapacity = 256;

constexpr wchar_t kAgilityMake[] = L"CMMNS";
constexpr wchar_t kAgilityModel[] = L"Agility";
constexpr wchar_t kMomentumModel[] = L"Momentum";

// A wide literal's length in characters, without its terminator.
template <size_t N>
constexpr uint16_t TextLength(const wchar_t (&)[N]) {
    return static_cast<uint16_t>(N - 1);
}

template <size_t N>
void Display(int32_t moduleHandle, TESKID teskId, const wchar_t (&text)[N]) {
    Zorv_SetDPDisplayValue(moduleHandle, teskId, text, TextLength(text));
    Zorv_SetDataPointVisible(moduleHandle, teskId, 1);
}

bool FindDataPoint(int32_t moduleHandle, const char* name, TESKID& teskId) {
    teskId = 0;
    return Zorv_GetDPIDbyName(moduleHandle, name, &teskId) == kZorvSuccess && teskId != 0;
}

}  // namespace

void VehicleInfo::SetVehicleInfoStaticDataForFuelSystem(ModuleRecord& module) {
    const int32_t handle = module.Handle();
    TESKID makeTeskId = 0;
    const ZResult makeFound = Zorv_GetDPIDbyName(handle, kMakeDataPoint, &makeTeskId);
    std::array<uint8_t, kMakeValueCapacity> make{};
    uint16_t makeLength = kMakeValueCapacity;
    Zorv_GetDPValue(handle, makeTeskId, make.data(), &makeLength);
    if (makeFound != kZorvSuccess || makeTeskId == 0) {
        trace_.Write(kTraceProgress, 0, L"%s FAILED",
                     L"CVehicleApp::SetVehicleInfoStaticDataForFuelSystem (Line 3825)");
        return;
    }

    const bool agility = MakeMatchesMakerCode(make.data(), std::min<size_t>(makeLength, make.size()),
                                              FuelSystemMakerCode(app_.Registrations().GetProductId()));
    TESKID modelTeskId = 0;
    if (agility) {
        Display(handle, makeTeskId, kAgilityMake);
        if (FindDataPoint(handle, kModelDataPoint, modelTeskId)) {
            Display(handle, modelTeskId, kAgilityModel);
        } else {
            trace_.Write(kTraceProgress, 0, L"%s FAILED",
                         L"CVehicleApp::SetVehicleInfoStaticDataForFuelSystem (Line 3855)");
        }
        return;
    }
    Zorv_SetDataPointVisible(handle, makeTeskId, 0);
    if (FindDataPoint(handle, kModelDataPoint, modelTeskId)) {
        Display(handle, modelTeskId, kMomentumModel);
    } else {
        trace_.Write(kTraceProgress, 0, L"%s FAILED",
                     L"CVehicleApp::SetVehicleInfoStaticDataForFuelSystem (Line 3869)");
    }
}

}  // namespace marl
