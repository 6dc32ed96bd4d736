// Which of a module's data points the host lists. With the show-only-supported option
// on, discovery's table decides: a data point is listed when the ECU answered its PGN.
#include <array>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/ResultCodes.h"
#include "VehicleApp/core/SharedState.h"
#include "VehicleApp/discovery/NotAvailableValues.h"
#include "VehicleApp/discovery/SoftwareIdFields.h"
#include "host/ZorvApi.h"

namespace marl {
namespace {

constexpr uint16_t kResultNoSupportedPgns = 11;
constexpr int kLastChanceProbePasses = 1;
// Values of the data points just probed need a moment to arrive and be parsed before
// they are judged as not available.
constexpr uint32_t kValueSettleMs = 1000;

// The query messages of the host's database begin with the requested PGN, most
// significant byte first; only two bytes of it are looked at.
constexpr uint16_t kQueryMessageCapacity = 10;
constexpr uint32_t kQueryPgnHighByteFactor = 256;

// The PGN that decides a data point's support: its own, or for data points read with a
// query message of their own, the PGN that message asks for.
ZPgn SupportPgnOf(int32_t moduleHandle, TESKID teskId, ZPgn ownPgn, const sDpAttribute& attribute) {
    if (attribute.kind != kDpKindPgnFromQueryMessage) return ownPgn;
    uint16_t messageIndex = 0;
    Zorv_FindMsg(moduleHandle, teskId, &messageIndex);
    std::array<uint8_t, kQueryMessageCapacity> query{};
    uint16_t queryLength = 0;
    if (Zorv_GetQueryMsg(moduleHandle, messageIndex, query.data(), kQueryMessageCapacity, &queryLength) != kZorvSuccess)
        return ownPgn;
    return query[0] * kQueryPgnHighByteFactor + query[1];
}

// Also lists data points whose own PGN lookup did not lead to the supported PGN: the
// host's message table knows every data point a PGN carries.
void ShowDataPointsOfPgn(int32_t moduleHandle, ZPgn pgn) {
    int16_t messageIndex = -1;
    if (Zorv_GetIndexForPID(moduleHandle, pgn, &messageIndex) != kZorvSuccess) return;
    uint16_t count = 0;
    if (Zorv_GetTESKIDCountForPID(moduleHandle, messageIndex, &count) != kZorvSuccess) return;
    for (uint16_t position = 0; position < count; ++position) {
        TESKID teskId = 0;
        if (Zorv_GetTESKIDFromPID(moduleHandle, messageIndex, position, &teskId) == kZorvSuccess)
            Zorv_SetDataPointVisible(moduleHandle, teskId, 1);
    }
}

}  // namespace

void Discovery::SetAllDataPointsVisible(ModuleRecord& module, bool defaultVisible) {
    const int32_t handle = module.Handle();
    const bool bySupport = app_.Discoveries().ShowOnlySupported();
    uint16_t count = 0;
    Zorv_GetDPCount(handle, &count);
    for (uint16_t index = 0; index < count; ++index) {
        TESKID teskId = 0;
        ZPgn pgn = 0;
        sDpAttribute attribute{};
        Zorv_GetDPID(handle, index, &teskId);
        Zorv_GetPIDForTESKID(handle, teskId, &pgn);
        Zorv_GetDPAttributes(handle, teskId, &attribute);
        const ZPgn supportPgn = SupportPgnOf(handle, teskId, pgn, attribute);
        const bool visible = bySupport ? module.pgnMap.isSupported(supportPgn) : defaultVisible;
        Zorv_SetDataPointVisible(handle, teskId, visible ? 1 : 0);
    }
}

uint16_t Discovery::SetVisibilityForSupportedPgns(ModuleRecord& module) {
    if (!app_.Discoveries().ShowOnlySupported()) return results::kSuccess;
    const int32_t handle = module.Handle();

    // PGNs still unanswered get one more chance before they decide visibility.
    RequestSupportedPgns(module, module.ComponentSa(), kLastChanceProbePasses);
    if (!module.PositiveAnswerSeen()) {
        SetAllDataPointsVisible(module, false);
        trace_.Write(kTraceFailure, 0, L"%s: Failed to get Supported PGNS from SA: %X",
                     L"CVehicleApp::SetVisibilityForSupportedPgns (Line 1961)",
                     static_cast<uint32_t>(module.EcuAddress()));
        return kResultNoSupportedPgns;
    }

    SetAllDataPointsVisible(module, false);
    // The receive thread may add entries meanwhile; support is asked of the live table.
    const PgnSupportSnapshot table = module.pgnMap.snapshot();
    for (const auto& item : table) {
        if (module.pgnMap.isSupported(item.first)) ShowDataPointsOfPgn(handle, item.first);
    }
    HideSurplusSoftwareIdFields(handle);

    if (PauseStops(app_.Shared(), kValueSettleMs)) return results::kSuccess;
    HideNotAvailableValues(handle);
    return results::kSuccess;
}

}  // namespace marl
