// PLACEHOLDERS. Workers whose subsystems are not built yet. Each one answers what the
// finished worker answers by default, so that the entries, the object lifecycle and the
// command-line host work end to end meanwhile. Every function in this file is replaced
// by its subsystem's real worker and then removed from here.
#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/SharedState.h"
#include "host/ZorvApi.h"

namespace marl {

// PLACEHOLDER (health report requests).
uint16_t CVehicleApp::RequestDiagnosticPgnsForHandle(int32_t moduleHandle) {
    return CheckHandle(moduleHandle) ? 0 : 5;
}

// PLACEHOLDER (fault clearing).
uint16_t CVehicleApp::ClearFaultCodes(int32_t /*moduleHandle*/) { return 0; }

// PLACEHOLDER (subscriptions).
uint16_t CVehicleApp::UpdateDatapointSubscriptions(int32_t, const uint32_t*, int32_t, bool) { return 0; }

// PLACEHOLDER (recording writer).
uint16_t CVehicleApp::AppendDataToRecordingFile(uint32_t, uint32_t, uint16_t*) { return 0; }

// PLACEHOLDER (recording reader).
uint16_t CVehicleApp::ReadDataFromRecordingFile(uint32_t, int32_t, int32_t) { return 0; }

// PLACEHOLDER (query thread): waits for the exit event and tells unregistration it ended.
void CVehicleApp::QueryLoop() {
    if (shared_ == nullptr) return;
    while (!shared_->PauseOrExit(100)) {
    }
    shared_->SignalQuery();
}

// PLACEHOLDER (fault lists).
void CVehicleApp::ListFaultGroupIds(int32_t, wchar_t*, int16_t*) {}

// PLACEHOLDER (registration completion): starts the query thread once.
void CVehicleApp::RegistrationIsComplete(int32_t moduleHandle) {
    ModuleRecordPtr rec = FindModule(moduleHandle);
    if (rec) rec->registrationComplete = true;
    if (shared_ != nullptr) shared_->StartQueryThread([this] { QueryLoop(); });
}

// PLACEHOLDER (fault information).
uint16_t CVehicleApp::HandleFaultInfoRequest(int32_t, int16_t, wchar_t*, int16_t*, uint8_t*, int16_t*, uint32_t*) {
    return 0;
}

// PLACEHOLDER (health report): no report is generated yet, which the host sees as failure.
uint16_t CVehicleApp::CallGenerateHealthReport(int32_t, wchar_t*, int16_t*) { return 46; }

// PLACEHOLDER (parameter visibility): with the show-only-supported option on, a data
// point follows the support of its own PGN; otherwise it takes the default. The special
// PGN source of query-message data points is left to the real worker.
void CVehicleApp::SetAllDataPointsVisible(ModuleRecord& module, bool defaultVisible) {
    uint16_t count = 0;
    Zorv_GetDPCount(module.Handle(), &count);
    for (uint16_t index = 0; index < count; ++index) {
        TESKID teskId = 0;
        ZPgn pgn = 0;
        Zorv_GetDPID(module.Handle(), index, &teskId);
        Zorv_GetPIDForTESKID(module.Handle(), teskId, &pgn);
        const bool visible = showOnlySupported ? module.pgnMap.isSupported(pgn) : defaultVisible;
        Zorv_SetDataPointVisible(module.Handle(), teskId, visible ? 1 : 0);
    }
}

}  // namespace marl
