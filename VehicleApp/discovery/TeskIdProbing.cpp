// Probing the PGNs behind a given list of data points, and the look-ups that give such
// lists: data points of a universal data identifier, data points of a category.
#include <algorithm>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/BusyScope.h"
#include "VehicleApp/core/J1939Constants.h"
#include "VehicleApp/discovery/HostLists.h"
#include "host/ZorvApi.h"

namespace marl {
namespace {

constexpr uint16_t kProbeTimeoutMs = 100;
constexpr uint8_t kProbeAttempts = 3;

constexpr uint32_t kInitialUdiTeskIdCapacity = 10;
constexpr ZResult kResultTeskIdListTooSmall = 21;
// More data points than any parameter database holds for one identifier.
constexpr uint32_t kMaxUdiTeskIds = 0x10000;

}  // namespace

void Discovery::RequestPgnsForTeskIds(int32_t moduleHandle, const std::vector<uint32_t>& teskIds) {
    ModuleRecordPtr module = app_.Modules().FindModule(moduleHandle);
    if (!module) return;
    {
        BusyScope busy(*module);
        std::vector<uint32_t> probed;
        for (uint32_t teskId : teskIds) {
            ZPgn pgn = 0;
            if (Zorv_GetPIDForTESKID(moduleHandle, teskId, &pgn) != 0) pgn = 0;
            if (module->pgnMap.hasResponded(pgn) || pgn <= j1939::kHighestUnprobedPgn ||
                std::find(probed.begin(), probed.end(), pgn) != probed.end())
                continue;
            probed.push_back(pgn);
            app_.Sender().RequestPgn(module->SendHandle(), pgn, module->EcuAddress(), false, kProbeTimeoutMs,
                                     kProbeAttempts);
            // Some ECUs answer only requests sent to everyone.
            if (!module->pgnMap.hasResponded(pgn))
                app_.Sender().RequestPgn(module->SendHandle(), pgn, kGlobalAddress, false, kProbeTimeoutMs,
                                         kProbeAttempts);
        }
    }
    for (uint32_t teskId : teskIds) BuildSupportedPgnListByTeskid(*module, teskId);
}

std::vector<uint32_t> Discovery::TeskIdsForUdi(int32_t moduleHandle, uint32_t udi) {
    std::vector<TESKID> teskIds(kInitialUdiTeskIdCapacity, 0);
    uint32_t count = kInitialUdiTeskIdCapacity;
    ZResult status = Zorv_GetTeskIdsFromUdiList(moduleHandle, &udi, 1, teskIds.data(), &count);
    if (status == kResultTeskIdListTooSmall) {
        if (count > kMaxUdiTeskIds) return {};
        teskIds.assign(count, 0);
        status = Zorv_GetTeskIdsFromUdiList(moduleHandle, &udi, 1, teskIds.data(), &count);
    }
    if (status != 0) return {};
    teskIds.resize(std::min<size_t>(count, teskIds.size()));
    return teskIds;
}

void Discovery::RequestCategoryPgns(int32_t moduleHandle, int16_t categoryId) {
    std::vector<TESKID> teskIds;
    GetCategoryDataPoints(moduleHandle, categoryId, kHealthCategoryListCapacity, teskIds);
    RequestPgnsForTeskIds(moduleHandle, teskIds);
}

}  // namespace marl
