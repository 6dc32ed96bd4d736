// Unregistration and disconnect. The host drops a module: running bus work on it is let
// finish, the tool's bus address is released when no other module uses the connection,
// parsing and notification stop, and the record goes. The last module's exit signal
// stops every loop of the plug-in.
#include <vector>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/HostLookup.h"
#include "VehicleApp/core/ResultCodes.h"
#include "VehicleApp/core/SharedState.h"
#include "host/ZorvApi.h"

namespace marl {
namespace {
// How long unregistration lets a busy module (discovery, health-report requests) finish,
// and the query thread end its pass.
constexpr uint32_t kBusyModuleWaitMs = 20000;
constexpr uint32_t kQueryThreadWaitMs = 20000;
// How long a guided test on the module gets to close its screen and end.
constexpr uint32_t kGuidedTestWaitMs = 20000;
constexpr int32_t kConnectionLost = 1;
}  // namespace

void Registration::UnclaimBusAddress(int32_t sendHandle) {
    auto unclaim = LookUpOrTrace<zorv::UnclaimBusAddressFn>(trace_, zorv::kLookupUnclaimBusAddress,
                                                            L"%s: Zorv_GetFunctionAddress failed At UnclaimBusAddress",
                                                            L"CVehicleApp::UnclaimBusAddress (Line 357)");
    if (unclaim != nullptr) unclaim(sendHandle);
}

uint16_t Registration::UnregisterModule(int32_t moduleHandle) {
    ModuleTable& modules = app_.Modules();
    if (!modules.CheckHandle(moduleHandle)) return results::kInvalidHandle;
    // A handle the plug-in does not know changes nothing: above all it must not signal
    // exit, which would stop the remaining module's requests and the query thread.
    ModuleRecordPtr record = modules.FindModule(moduleHandle);
    if (!record) return results::kSuccess;
    SharedState* shared = app_.Shared();
    const bool last = modules.Count() <= 1;
    if (shared != nullptr && last) shared->ExitEvent().Set();

    if (!app_.InPlayback()) {
        if (!record->RegistrationFailed()) {
            // Busy records are collected under the module lock but waited for outside it:
            // the workers that hold them busy look modules up themselves.
            for (const ModuleRecordPtr& rec : modules.Snapshot()) {
                if (rec->BusyCount() >= 1) rec->WaitIdle(kBusyModuleWaitMs);
            }
            // The exit event raised above ends the query loop at its next pause.
            if (last && !app_.Subscribed().WaitForQueryThread(kQueryThreadWaitMs)) {
                trace_.Write(kTraceFailure, 0, L"%s query thread did not end",
                             L"CVehicleApp::UnregisterModule (Line 2080)");
            }
        }
        // The tool's address stays claimed while another module still uses the
        // connection.
        if (modules.ModulesOnConnection(record->SendHandle()).size() <= 1) UnclaimBusAddress(record->SendHandle());
    }

    Zorv_EnableParsing(moduleHandle, 0);
    Zorv_RemoveNotifyModule(moduleHandle);
    // A guided test on the module must not outlive it. The host closes the module's
    // screens once it stops notifying it, which ends a test waiting for the user; a test
    // between screens sees the stop at its next step. The last module takes every test.
    if (!app_.GuidedTests().EndTests(last ? kEveryModule : moduleHandle, kGuidedTestWaitMs)) {
        trace_.Write(kTraceFailure, 0, L"%s guided test did not end", L"CVehicleApp::UnregisterModule (Line 2080)");
    }
    modules.RemoveModuleRecord(moduleHandle);
    app_.FaultCodes().ClearDataManagerFaultCodeList(moduleHandle);
    if (modules.Count() <= 1) trace_.Close();
    return results::kSuccess;
}

uint16_t Registration::NotifyDisconnect(int32_t moduleHandle) {
    if (!app_.Modules().CheckHandle(moduleHandle)) return results::kInvalidHandle;
    if (app_.InPlayback()) return results::kSuccess;
    // Modules that share another module's connection learn that it is gone. The host is
    // called outside the module lock: it may deliver messages meanwhile.
    for (const ModuleRecordPtr& rec : app_.Modules().Snapshot()) {
        if (rec->Handle() != rec->SendHandle()) Zorv_ClientConnectionNotify(rec->Handle(), kConnectionLost);
    }
    app_.SetConnected(false);
    return results::kSuccess;
}

}  // namespace marl
