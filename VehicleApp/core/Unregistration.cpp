// Unregistration and disconnect. The host drops a module: running bus work on it is let
// finish, the tool's bus address is released, parsing and notification stop, and the
// record goes. The last module's exit signal stops every loop of the plug-in.
#include <vector>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/HostLookup.h"
#include "VehicleApp/core/ResultCodes.h"
#include "VehicleApp/core/SharedState.h"
#include "host/ZorvApi.h"

namespace marl {
namespace {
// How long unregistration lets a busy module (discovery, health-report requests) finish.
constexpr uint32_t kBusyModuleWaitMs = 20000;
constexpr int32_t kConnectionLost = 1;
}  // namespace

void CVehicleApp::UnclaimBusAddress(int32_t sendHandle) {
    auto unclaim = LookUpHostFunction<zorv::UnclaimBusAddressFn>(zorv::kLookupUnclaimBusAddress);
    if (unclaim == nullptr) {
        trace_.Write(kTraceFailure, 0, L"%s: Zorv_GetFunctionAddress failed At UnclaimBusAddress",
                     L"CVehicleApp::UnclaimBusAddress (Line 357)");
        return;
    }
    unclaim(sendHandle);
}

uint16_t CVehicleApp::ClearDataManagerFaultCodeList(int32_t moduleHandle) {
    auto clear = LookUpHostFunction<zorv::ClearFaultListFn>(zorv::kLookupClearFaultList);
    if (clear == nullptr) {
        trace_.Write(kTraceFailure, 0, L"%s ClearFaultList == NULL",
                     L"CVehicleApp::ClearDataManagerFaultCodeList (Line 951)");
        return results::kMissingFunctionOrRecord;
    }
    clear(moduleHandle);
    return 0;
}

uint16_t CVehicleApp::UnregisterModule(int32_t moduleHandle) {
    if (!CheckHandle(moduleHandle)) return results::kInvalidHandle;
    if (shared_ != nullptr) shared_->SignalExitIfLast();

    ModuleRecordPtr record = FindModule(moduleHandle);
    if (!record) return 0;

    if (playbackStatus.load() == 0) {
        if (!record->registrationFailed.load()) {
            // Busy records are collected under the module lock but waited for outside it:
            // the workers that hold them busy look modules up themselves, and would
            // otherwise stall on the lock for the whole wait.
            std::vector<ModuleRecordPtr> busy;
            {
                platform::CsLock lock(moduleLock_);
                for (ModuleRecordPtr rec = moduleList_->Next(nullptr); rec; rec = moduleList_->Next(rec.get())) {
                    if (rec->BusyCount() >= 1) busy.push_back(rec);
                }
            }
            for (const ModuleRecordPtr& rec : busy) rec->WaitIdle(kBusyModuleWaitMs);

            // The exit event raised above ends the query loop at its next pause.
            if (shared_ != nullptr && moduleList_->Count() <= 1 && shared_->QueryThreadStarted() &&
                shared_->QueryThreadRunning()) {
                shared_->QueryEvent().Wait(platform::kInfinite);
            }
        }
        UnclaimBusAddress(record->SendHandle());
    }

    Zorv_EnableParsing(moduleHandle, 0);
    Zorv_RemoveNotifyModule(moduleHandle);
    RemoveModuleRecord(moduleHandle);
    ClearDataManagerFaultCodeList(moduleHandle);
    if (moduleList_->Count() <= 1) trace_.Close();
    return 0;
}

uint16_t CVehicleApp::NotifyDisconnect(int32_t moduleHandle) {
    if (!CheckHandle(moduleHandle)) return results::kInvalidHandle;
    if (playbackStatus.load() != 0) return 0;
    if (moduleList_ != nullptr) {
        // Modules that share another module's connection learn that it is gone. The host
        // is called outside the module lock: it may deliver messages meanwhile.
        std::vector<int32_t> sharing;
        {
            platform::CsLock lock(moduleLock_);
            for (ModuleRecordPtr rec = moduleList_->Next(nullptr); rec; rec = moduleList_->Next(rec.get())) {
                if (rec->Handle() != rec->SendHandle()) sharing.push_back(rec->Handle());
            }
        }
        for (int32_t handle : sharing) Zorv_ClientConnectionNotify(handle, kConnectionLost);
    }
    if (shared_ != nullptr) shared_->SetConnected(false);
    connected = false;
    return 0;
}

}  // namespace marl
