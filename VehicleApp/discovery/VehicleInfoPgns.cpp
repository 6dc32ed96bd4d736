// The vehicle-information PGNs (VIN, component identification and their kin), asked of
// the module one by one after discovery.
#include <algorithm>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/ResultCodes.h"
#include "VehicleApp/core/SharedState.h"
#include "VehicleApp/discovery/HostLists.h"
#include "VehicleApp/receive/Categories.h"
#include "host/ZorvApi.h"

namespace marl {
namespace {

constexpr uint16_t kVehicleInfoTimeoutMs = 1250;
constexpr uint8_t kVehicleInfoAttempts = 3;
// Vehicle information comes as multi-packet messages; half a second lets one finish.
constexpr uint32_t kVehicleInfoSpacingMs = 500;
constexpr ZPgn kPgnNotRead = 0xFFFFFFFF;

}  // namespace

void Discovery::GetSupportedVehicleInfoPgns(ModuleRecord& module, std::vector<uint32_t>& pgns) {
    const int32_t handle = module.Handle();
    std::vector<TESKID> teskIds;
    GetCategoryDataPoints(handle, app_.Receiver().CategoryId(kCategoryVehicleInfo), kCategoryListCapacity, teskIds);
    trace_.Write(kTraceProgress, 0, L"(Module Handle: %d), %s, Number of TESKIDs Supported: %d", handle,
                 L"CVehicleApp::GetSupportedVehicleInfoPgns (Line 1853)", static_cast<int32_t>(teskIds.size()));
    for (TESKID teskId : teskIds) {
        if (PauseStops(app_.Shared(), kExitCheckMs)) return;
        ZPgn pgn = kPgnNotRead;
        const ZResult status = Zorv_GetPIDForTESKID(handle, teskId, &pgn);
        if (status != 0) {
            trace_.Write(kTraceFailure, status, L"%s", L"CVehicleApp::GetSupportedVehicleInfoPgns (Line 1860)");
            continue;
        }
        if (!module.pgnMap.hasResponded(pgn) && std::find(pgns.begin(), pgns.end(), pgn) == pgns.end())
            pgns.push_back(pgn);
    }
}

uint16_t Discovery::BuildVehicleInfoPgnList(ModuleRecord& module) {
    std::vector<uint32_t> pgns;
    GetSupportedVehicleInfoPgns(module, pgns);
    for (size_t i = 0; i < pgns.size();) {
        // Answers to earlier requests (or broadcasts) may have brought it meanwhile.
        if (module.pgnMap.hasResponded(pgns[i])) {
            pgns.erase(pgns.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        const uint16_t status = app_.Sender().RequestPgn(module.SendHandle(), pgns[i], module.EcuAddress(), false,
                                                         kVehicleInfoTimeoutMs, kVehicleInfoAttempts);
        if (status != results::kSuccess) {
            trace_.Write(kTraceFailure, status, L"%s", L"CVehicleApp::BuildVehicleInfoPgnList (Line 1899)");
            return status;
        }
        if (PauseStops(app_.Shared(), kVehicleInfoSpacingMs)) break;
        ++i;
    }
    return results::kSuccess;
}

}  // namespace marl
