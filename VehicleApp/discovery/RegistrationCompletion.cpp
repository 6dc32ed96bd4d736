// The host's word that it has finished registering a module (command 1008). The module
// is let onto the bus: notification and parsing are switched on, every module's
// source-address filter is installed again, registration's hold on the module ends, the
// adapters that defer discovery run it now, and the query thread starts with the first
// completed module.
#include <vector>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/HostLookup.h"
#include "VehicleApp/core/SharedState.h"
#include "host/ZorvApi.h"

namespace marl {
namespace {
// The fuel system's make and model are shown as fixed texts.
constexpr uint8_t kFuelSystemAddress = 0x12;
constexpr ZBool32 kParsingOn = 1;
}  // namespace

void CVehicleApp::RegistrationIsComplete(int32_t moduleHandle) {
    trace_.Write(kTraceProgress, 0, L"%s: ENTER RegistrationIsComplete for module=%d.",
                 L"CVehicleApp::RegistrationIsComplete (Line 2460)", moduleHandle);
    Zorv_AddNotifyModule(moduleHandle);
    Zorv_EnableParsing(moduleHandle, kParsingOn);

    // With the host's module 5 present, the host handles the engines' faults itself.
    module5Present = LookUpHostFunction<void*>(zorv::kEntryUnregisterModule, zorv::kModuleIdFive) != nullptr;

    if (moduleList_ != nullptr) {
        // The records are collected under the module lock and the filters sent outside
        // it: the host may deliver messages meanwhile, and the receive thread looks its
        // module up under that lock.
        std::vector<ModuleRecordPtr> modules;
        {
            platform::CsLock lock(moduleLock_);
            for (ModuleRecordPtr rec = moduleList_->Next(nullptr); rec; rec = moduleList_->Next(rec.get()))
                modules.push_back(rec);
        }
        for (const ModuleRecordPtr& rec : modules) SetFilterForSourceAddress(*rec);
    }

    ModuleRecordPtr module = FindModule(moduleHandle);
    if (module) {
        // Registration's hold on the module ends here. Registration has let go of it
        // already, so the count stays at zero then.
        module->SetBusy(false);

        if (IsDeferredDiscoveryAdapter()) {
            module->SetBusy(true);
            BuildAndRequestSupportedPgns(module.get());
            BuildVehicleInfoPgnList(*module);
            SetVisibilityForSupportedPgns(*module);
            module->SetBusy(false);
        }
        module->registrationComplete = true;

        if (shared_ != nullptr) shared_->StartQueryThread([this] { QueryLoop(); });
        if (module->EcuAddress() == kFuelSystemAddress) SetVehicleInfoStaticDataForFuelSystem(*module);
    }

    trace_.Write(kTraceProgress, 0, L"%s: EXIT RegistrationIsComplete for module=%d.",
                 L"CVehicleApp::RegistrationIsComplete (Line 2516)", moduleHandle);
}

}  // namespace marl
