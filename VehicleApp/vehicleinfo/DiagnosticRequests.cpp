// The diagnostic PGNs behind the health report and the fault lists. ECUs send most of
// them only on request; the query thread asks every channel's first module every ten
// seconds, and the health report asks its module once.
#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/J1939Constants.h"
#include "VehicleApp/core/ResultCodes.h"
#include "VehicleApp/core/SharedState.h"

namespace marl {
namespace {

constexpr uint32_t kDiagnosticPgns[] = {
    j1939::kPgnDm2,  j1939::kPgnDm6,  j1939::kPgnDm12,  j1939::kPgnDm23,
    j1939::kPgnDm27, j1939::kPgnDm28, j1939::kPgn40704,
};

constexpr uint16_t kDiagnosticTimeoutMs = 250;
constexpr uint8_t kDiagnosticAttempts = 1;
constexpr uint32_t kDiagnosticSpacingMs = 1;

}  // namespace

uint16_t VehicleInfo::RequestDiagnosticPgns(ModuleRecord& module) {
    if (app_.InPlayback()) return results::kSuccess;
    const uint8_t address = module.EcuAddress();
    for (uint32_t pgn : kDiagnosticPgns) {
        // A PGN that was probed, or seen on the bus, without a positive answer is not
        // asked again: the ECU has shown it does not keep it.
        if (address != kGlobalAddress && !module.pgnMap.isSupported(pgn) && module.pgnMap.wasRequested(pgn)) continue;
        // The fuel system does not keep DM6 (pending DTCs).
        if (address == j1939::kFuelSystemAddress && pgn == j1939::kPgnDm6) continue;
        app_.Sender().RequestPgn(module.Handle(), pgn, address, false, kDiagnosticTimeoutMs, kDiagnosticAttempts);
        if (PauseStops(app_.Shared(), kDiagnosticSpacingMs)) break;
    }
    module.SetDiagnosticsRequested();
    return results::kSuccess;
}

uint16_t VehicleInfo::RequestDiagnosticPgnsForHandle(int32_t moduleHandle) {
    if (!app_.Modules().CheckHandle(moduleHandle)) return results::kInvalidHandle;
    if (app_.InPlayback()) return results::kSuccess;
    // The record is held, not the module lock: the answers come in on the receive
    // thread, which looks its module up under that lock.
    ModuleRecordPtr module = app_.Modules().FindModule(moduleHandle);
    if (module) RequestDiagnosticPgns(*module);
    return results::kSuccess;
}

}  // namespace marl
