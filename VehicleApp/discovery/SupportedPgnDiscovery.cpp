// Probing a module for the PGNs of its table: Requests at its address and, for the
// first module of a channel, globally; then a settling time for late answers.
#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/BusyScope.h"
#include "VehicleApp/core/J1939Constants.h"
#include "VehicleApp/core/ResultCodes.h"
#include "VehicleApp/core/SharedState.h"

namespace marl {
namespace {

// One Request every 100 ms keeps the probing from crowding the bus.
constexpr uint32_t kProbeSpacingMs = 100;
constexpr uint16_t kProbeTimeoutMs = 0;
constexpr uint8_t kProbeAttempts = 3;
constexpr int kModuleProbePasses = 2;
constexpr int kGlobalProbePasses = 1;

// Late answers still count: an ECU that answered once answers quickly, one that has not
// answered yet gets longer, and the ECU at 0x33 is known to be slowest.
constexpr uint32_t kSettleAfterAnswerMs = 2000;
constexpr uint32_t kSettleSlowEcuMs = 20000;
constexpr uint32_t kSettleDefaultMs = 10000;
constexpr uint8_t kSlowEcuComponentSa = 0x33;

}  // namespace

Discovery::Discovery(CVehicleApp& app) : app_(app), trace_(app.Trace()) {}

void Discovery::RequestSupportedPgns(ModuleRecord& module, uint8_t destination, int passes) {
    const PgnSupportSnapshot table = module.pgnMap.snapshot();
    BusyScope busy(module);
    for (int pass = 1; pass <= passes; ++pass) {
        if (PauseStops(app_.Shared(), kProbeSpacingMs)) return;
        for (const auto& item : table) {
            if (PauseStops(app_.Shared(), kExitCheckMs)) break;
            const uint32_t pgn = item.first;
            if (module.pgnMap.hasResponded(pgn)) continue;
            const uint16_t status =
                app_.Sender().RequestPgn(module.SendHandle(), pgn, destination, false, kProbeTimeoutMs, kProbeAttempts);
            module.pgnMap.recordProbe(pgn, destination);
            if (status != results::kSuccess) {
                trace_.Write(kTraceFailure, status, L"%s", L"CVehicleApp::RequestSupportedPgns (Line 1742)");
            } else if (PauseStops(app_.Shared(), kProbeSpacingMs)) {
                break;
            }
        }
    }
}

uint16_t Discovery::BuildAndRequestSupportedPgns(ModuleRecord* module) {
    if (module == nullptr) return results::kNullModule;
    const uint8_t address = module->EcuAddress();
    const bool deferred = app_.Registrations().IsDeferredDiscoveryAdapter();
    // With every parameter shown anyway, only the engines still need their table.
    if (!app_.Discoveries().ShowOnlySupported() && deferred && address > j1939::kLastEngineAddress) {
        SetAllDataPointsVisible(*module, true);
        return results::kSuccess;
    }

    BuildSupportedPgnList(*module);
    if (PauseStops(app_.Shared(), kExitCheckMs)) return results::kSuccess;

    if (!deferred) {
        RequestSupportedPgns(*module, address, kModuleProbePasses);
        bool stopped = false;
        // The global pass reaches every ECU of the channel; it is the first module's job.
        if (!app_.Modules().FindByChannel(module, module->Channel())) {
            stopped = PauseStops(app_.Shared(), kExitCheckMs);
            if (!stopped) RequestSupportedPgns(*module, kGlobalAddress, kGlobalProbePasses);
        }
        if (!stopped) {
            const uint32_t settleMs = module->PositiveAnswerSeen()                   ? kSettleAfterAnswerMs
                                      : module->ComponentSa() == kSlowEcuComponentSa ? kSettleSlowEcuMs
                                                                                     : kSettleDefaultMs;
            PauseStops(app_.Shared(), settleMs);
        }
    }

    // An ECU that answers at all is taken to keep freeze frames (DM4).
    if (module->PositiveAnswerSeen()) module->pgnMap.recordResponse(j1939::kPgnDm4, false);
    return results::kSuccess;
}

}  // namespace marl
