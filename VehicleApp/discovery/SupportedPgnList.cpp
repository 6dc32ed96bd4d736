// Filling a module's PGN table from the parameter database: the PGN behind each data
// point the database wants probed.
#include <algorithm>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/BusyScope.h"
#include "VehicleApp/core/HostLookup.h"
#include "VehicleApp/core/SharedState.h"
#include "VehicleApp/discovery/HostLists.h"
#include "VehicleApp/receive/Categories.h"
#include "host/ZorvApi.h"

namespace marl {
namespace {

// The adapter that has no "RequestPGNs" category: its data points are found through the
// host's discovery identifiers.
constexpr int32_t kUdiDiscoveryProductId = 0x47;

// A data point standing for a guided test; its PGN is no data the ECU broadcasts.
constexpr uint16_t kGuidedTestExcludedFromDiscovery = 1;

constexpr uint32_t kInitialUdiCapacity = 256;
// The host answers "too small" with the size it needs; a host that keeps answering so
// would hold registration for ever, so the list is asked for a bounded number of times.
constexpr int kUdiListRetries = 4;
// More identifiers than any parameter database holds: a larger need is a host fault.
constexpr uint32_t kMaxDiscoveryUdis = 0x10000;

// The host's discovery identifiers; false when the host function is missing or never
// says how much room it needs.
bool GetDiscoveryUdis(std::vector<ZUdi>& udis) {
    auto getUdis = LookUpHostFunction<zorv::GetDiscoveryUdisFn>(zorv::kLookupGetDiscoveryUdis);
    if (getUdis == nullptr) return false;
    udis.assign(kInitialUdiCapacity, 0);
    uint32_t count = kInitialUdiCapacity;
    ZResult status = getUdis(udis.data(), &count);
    for (int retry = 0; status == zorv::kResultListTooSmall; ++retry) {
        if (retry == kUdiListRetries || count > kMaxDiscoveryUdis) return false;
        udis.assign(count, 0);
        status = getUdis(udis.data(), &count);
    }
    udis.resize(std::min<size_t>(count, udis.size()));
    return true;
}

}  // namespace

void Discovery::BuildSupportedPgnListByTeskid(ModuleRecord& module, uint32_t teskId) {
    sDpAttribute attribute{};
    Zorv_GetDPAttributes(module.Handle(), teskId, &attribute);
    if (attribute.guidedTest == kGuidedTestExcludedFromDiscovery) return;
    ZPgn pgn = 0;
    const ZResult status = Zorv_GetPIDForTESKID(module.Handle(), teskId, &pgn);
    if (status != 0) {
        trace_.Write(kTraceFailure, status, L"%s Zorv_GetPIDForTESKID FAILED for teskid:%d",
                     L"CVehicleApp::BuildSupportedPgnListByTeskid (Line 1631)", static_cast<int32_t>(teskId));
        return;
    }
    if (!module.pgnMap.contains(pgn)) module.pgnMap.recordPgn(pgn);
}

void Discovery::BuildSupportedPgnList(ModuleRecord& module) {
    const int32_t handle = module.Handle();
    if (app_.Registrations().ProductId() != kUdiDiscoveryProductId) {
        std::vector<TESKID> teskIds;
        if (GetCategoryDataPoints(handle, app_.Receiver().CategoryId(kCategoryRequestPgns), kCategoryListCapacity,
                                  teskIds) != 0)
            return;
        for (TESKID teskId : teskIds) {
            BuildSupportedPgnListByTeskid(module, teskId);
            if (PauseStops(app_.Shared(), kExitCheckMs)) return;
        }
        return;
    }

    BusyScope busy(module);
    uint16_t dataPointCount = 0;
    Zorv_GetDPCount(handle, &dataPointCount);
    if (dataPointCount == 0) return;
    std::vector<ZUdi> udis;
    if (!GetDiscoveryUdis(udis)) return;

    std::vector<TESKID> teskIds(kCategoryListCapacity, 0);
    uint32_t teskCount = kCategoryListCapacity;
    if (Zorv_GetTeskIdsFromUdiList(handle, udis.data(), static_cast<uint32_t>(udis.size()), teskIds.data(),
                                   &teskCount) != 0)
        return;
    teskIds.resize(std::min<size_t>(teskCount, teskIds.size()));
    RequestPgnsForTeskIds(handle, teskIds);
    for (uint16_t index = 0; index < dataPointCount; ++index) {
        TESKID teskId = 0;
        Zorv_GetDPID(handle, index, &teskId);
        BuildSupportedPgnListByTeskid(module, teskId);
    }
}

}  // namespace marl
