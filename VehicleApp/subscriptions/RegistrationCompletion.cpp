// The host's word that it has finished registering a module (command 1008). The module
// is let onto the bus: notification and parsing are switched on, every module's
// source-address filter is installed again, registration's hold on the module ends, the
// adapters that defer discovery run it now, and the query thread starts with the first
// completed module.
#include <vector>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/BusyScope.h"
#include "VehicleApp/core/HostLookup.h"
#include "VehicleApp/core/SharedState.h"
#include "host/ZorvApi.h"

namespace marl {
namespace {
constexpr ZBool32 kParsingOn = 1;
}  // namespace

void Subscriptions::RegistrationIsComplete(int32_t moduleHandle) {
    trace_.Write(kTraceProgress, 0, L"%s: ENTER RegistrationIsComplete for module=%d.",
                 L"CVehicleApp::RegistrationIsComplete (Line 2460)", moduleHandle);
    Zorv_AddNotifyModule(moduleHandle);
    Zorv_EnableParsing(moduleHandle, kParsingOn);

    // With the host's module 5 present, the host handles the engines' faults itself.
    module5Present_ = LookUpHostFunction<void*>(zorv::kEntryUnregisterModule, zorv::kModuleIdFive) != nullptr;

    // The filters are sent outside the module lock: the host may deliver messages
    // meanwhile, and the receive thread looks its module up under that lock.
    for (const ModuleRecordPtr& rec : app_.Modules().Snapshot()) app_.Registrations().SetFilterForSourceAddress(*rec);

    ModuleRecordPtr module = app_.Modules().FindModule(moduleHandle);
    if (module) {
        // Registration's hold on the module ends here. Registration has let go of it
        // already, so the count stays at zero then.
        module->SetBusy(false);

        if (app_.Registrations().IsDeferredDiscoveryAdapter()) {
            BusyScope busy(*module);
            app_.Discoveries().BuildAndRequestSupportedPgns(module.get());
            app_.Discoveries().BuildVehicleInfoPgnList(*module);
            app_.Discoveries().SetVisibilityForSupportedPgns(*module);
        }
        module->SetRegistrationComplete();

        StartQueryThread();
        if (module->EcuAddress() == j1939::kFuelSystemAddress)
            app_.Vehicle().SetVehicleInfoStaticDataForFuelSystem(*module);
    }

    trace_.Write(kTraceProgress, 0, L"%s: EXIT RegistrationIsComplete for module=%d.",
                 L"CVehicleApp::RegistrationIsComplete (Line 2516)", moduleHandle);
}

}  // namespace marl
