// Fresh values for the data points of a category (the trip data): the engine is asked
// for every periodically requested PGN behind them that it is known to support.
#include <algorithm>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/J1939Constants.h"
#include "VehicleApp/discovery/HostLists.h"
#include "host/ZorvApi.h"

namespace marl {
namespace {

constexpr uint16_t kCategoryDataTimeoutMs = 2000;
constexpr uint8_t kCategoryDataAttempts = 3;

bool IsPeriodicRequestClass(int16_t security) {
    return security == kDpSecurityPeriodicSlow || security == kDpSecurityPeriodicFast;
}

}  // namespace

bool VehicleInfo::UpdateCategoryData(int32_t moduleHandle, int16_t categoryId) {
    // A recording plays back what was on the bus; there is no ECU to ask.
    if (app_.InPlayback()) return true;
    ModuleRecordPtr module = app_.Modules().FindModule(moduleHandle);
    if (!module) return false;
    if (module->ModuleType() != j1939::kRestrictedDiscoveryModuleType && module->EcuAddress() != j1939::kEngineAddress)
        return true;

    std::vector<TESKID> teskIds;
    GetCategoryDataPoints(moduleHandle, categoryId, kCategoryListCapacity, teskIds);
    std::vector<uint32_t> seen;
    for (TESKID teskId : teskIds) {
        sDpAttribute attribute{};
        if (Zorv_GetDPAttributes(moduleHandle, teskId, &attribute) != 0) continue;
        const uint32_t pgn = attribute.pgn;
        if (std::find(seen.begin(), seen.end(), pgn) != seen.end()) continue;
        seen.push_back(pgn);
        if (!module->pgnMap.isSupported(pgn) || !IsPeriodicRequestClass(attribute.security)) continue;
        const uint16_t status = app_.Sender().RequestPgn(module->SendHandle(), pgn, module->EcuAddress(), true,
                                                         kCategoryDataTimeoutMs, kCategoryDataAttempts);
        if (status != 0) trace_.Write(kTraceFailure, status, L"%s", L"CVehicleApp::UpdateCategoryData (Line 3535)");
    }
    return true;
}

}  // namespace marl
