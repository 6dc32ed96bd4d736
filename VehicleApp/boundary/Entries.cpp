#include "VehicleApp/boundary/Entries.h"

#include <string>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/boundary/AddressText.h"
#include "VehicleApp/boundary/AppInstance.h"
#include "VehicleApp/boundary/CommandHandler.h"
#include "VehicleApp/boundary/HashMessage.h"
#include "VehicleApp/core/ResultCodes.h"
#include "VehicleApp/core/SharedState.h"
#include "VehicleApp/text/WideText.h"
#include "host/ZorvRecords.h"
#include "platform/Platform.h"

namespace marl::entries {
namespace {

// Nothing thrown below an entry may cross back into the host, whose process it would
// end: an exception becomes the internal-failure result and a line of debug output.
template <typename Work>
uint16_t Guarded(const wchar_t* entry, Work work) noexcept {
    try {
        return static_cast<uint16_t>(work());
    } catch (...) {
        platform::DebugOutput(L"*** Marl J1939: exception in entry ");
        platform::DebugOutput(entry);
        platform::DebugOutput(L" ***\n");
        return results::kInternalFailure;
    }
}

// Creates the objects on first use, then hands the registration to the application.
uint16_t Register(uint32_t uiHandle, int32_t moduleHandle, const ModuleInfo& info) {
    if (app_instance::EnsureCreated(moduleHandle) == app_instance::CreateResult::Failed) {
        return results::kAppNotCreated;
    }
    AppLease lease;
    if (!lease) return results::kAppNotCreated;
    lease.App()->SetUiHandle(uiHandle);
    return lease.App()->Registrations().RegisterModule(uiHandle, moduleHandle, info);
}

template <typename Work>
uint16_t WithApp(const wchar_t* entry, uint16_t noApp, Work work) noexcept {
    return Guarded(entry, [&]() -> uint16_t {
        AppLease lease;
        if (!lease) return noApp;
        return static_cast<uint16_t>(work(*lease.App()));
    });
}

void WriteZero(uint32_t* out) {
    if (out != nullptr) *out = 0;
}

}  // namespace

uint16_t ZORV_STDCALL RegisterModule(uint32_t uiHandle, int32_t moduleHandle, const wchar_t* addressText) {
    return Guarded(L"RegisterModule",
                   [&] { return Register(uiHandle, moduleHandle, ModuleInfoFromAddressText(addressText)); });
}

uint16_t ZORV_STDCALL RegisterModuleWithInfo(uint32_t uiHandle, int32_t moduleHandle, const ModuleInfo* info) {
    // A host that hands no record gets a clear refusal instead of a read through null.
    if (info == nullptr) return results::kNullModule;
    return Guarded(L"RegisterModuleWithInfo", [&]() -> uint16_t {
        const std::wstring line = L"*** RegisterModuleWithInfo :: Ecu Address - " +
                                  text::Hex(static_cast<uint16_t>(info->ecuAddress), 2) + L", ModuleID = " +
                                  text::Decimal(info->moduleId) + L",ModHandle - " + text::Decimal(moduleHandle) +
                                  L"***\n";
        platform::DebugOutput(line.c_str());
        if (app_instance::EnsureCreated(moduleHandle) == app_instance::CreateResult::Failed) {
            platform::DebugOutput(L"*** Exiting RegisterModuleWithInfo. App==NULL*** \n");
            return results::kAppNotCreated;
        }
        return Register(uiHandle, moduleHandle, *info);
    });
}

uint16_t ZORV_STDCALL UnregisterModule(int32_t moduleHandle) {
    return Guarded(L"UnregisterModule", [&]() -> uint16_t {
        uint16_t result = 0;
        {
            AppLease lease;
            if (!lease) return 0;
            result = lease.App()->Registrations().UnregisterModule(moduleHandle);
        }
        app_instance::DestroyIfEmpty();
        return result;
    });
}

uint16_t ZORV_STDCALL CheckHandleSign(int32_t value) { return value < 0 ? results::kInvalidHandle : 0; }

uint16_t ZORV_STDCALL NotifyDisconnect(int32_t moduleHandle) {
    return WithApp(L"NotifyDisconnect", 0,
                   [&](CVehicleApp& app) { return app.Registrations().NotifyDisconnect(moduleHandle); });
}

uint16_t ZORV_STDCALL RequestDiagnosticPgnsForHandle(int32_t moduleHandle) {
    return WithApp(L"RequestDiagnosticPgnsForHandle", 0,
                   [&](CVehicleApp& app) { return app.Vehicle().RequestDiagnosticPgnsForHandle(moduleHandle); });
}

uint16_t ZORV_STDCALL ClearFaultCodes(int32_t moduleHandle) {
    return WithApp(L"ClearFaultCodes", 0,
                   [&](CVehicleApp& app) { return app.FaultCodes().ClearFaultCodes(moduleHandle); });
}

uint16_t ZORV_STDCALL ParseMessage(int32_t sendHandle, const uint8_t* message, uint16_t length, uint32_t timeStamp) {
    return WithApp(L"ParseMessage", 0, [&](CVehicleApp& app) {
        return app.Receiver().ParseMessage(sendHandle, message, length, timeStamp);
    });
}

uint16_t ZORV_STDCALL UnsupportedOut1(uint32_t* out) {
    WriteZero(out);
    return 0;
}

uint16_t ZORV_STDCALL UnsupportedOut2(uint32_t* out1, uint32_t* out2) {
    WriteZero(out1);
    WriteZero(out2);
    return 0;
}

uint16_t ZORV_STDCALL UnsupportedArgs2Out(uint32_t, uint32_t, uint32_t* out) {
    WriteZero(out);
    return 0;
}

uint16_t ZORV_STDCALL UnsupportedArg1Out(uint32_t, uint32_t* out) {
    WriteZero(out);
    return 0;
}

uint16_t ZORV_STDCALL SubscribeDatapoint(int32_t moduleHandle, uint32_t teskId) {
    return WithApp(L"SubscribeDatapoint", results::kNoApp, [&](CVehicleApp& app) {
        return app.Subscribed().UpdateDatapointSubscriptions(moduleHandle, &teskId, 1, true);
    });
}

uint16_t ZORV_STDCALL UnsubscribeDatapoint(int32_t moduleHandle, uint32_t teskId) {
    return WithApp(L"UnsubscribeDatapoint", results::kNoApp, [&](CVehicleApp& app) {
        return app.Subscribed().UpdateDatapointSubscriptions(moduleHandle, &teskId, 1, false);
    });
}

uint16_t ZORV_STDCALL SubscribeDatapoints(int32_t moduleHandle, const uint32_t* teskIds, int32_t count) {
    return WithApp(L"SubscribeDatapoints", results::kNoApp, [&](CVehicleApp& app) {
        return app.Subscribed().UpdateDatapointSubscriptions(moduleHandle, teskIds, count, true);
    });
}

uint16_t ZORV_STDCALL UnsubscribeDatapoints(int32_t moduleHandle, const uint32_t* teskIds, int32_t count) {
    return WithApp(L"UnsubscribeDatapoints", results::kNoApp, [&](CVehicleApp& app) {
        return app.Subscribed().UpdateDatapointSubscriptions(moduleHandle, teskIds, count, false);
    });
}

uint16_t ZORV_STDCALL VehicleAppCommand(uint32_t moduleHandle, int16_t code, wchar_t* text, int16_t* length,
                                        uint8_t* data, int16_t* extra, uint32_t* flag) {
    return Guarded(L"VehicleAppCommand", [&] {
        AppLease lease;
        return HandleVehicleAppCommand(lease.App(), moduleHandle, code, text, length, data, extra, flag);
    });
}

uint16_t ZORV_STDCALL HashMessage(uint32_t, const uint8_t* message, int16_t length, uint32_t, uint32_t, int32_t divisor,
                                  uint32_t* out) {
    if (out != nullptr) *out = marl::HashMessage(message, length, divisor);
    return 0;
}

uint16_t ZORV_STDCALL AppendDataToRecordingFile(uint32_t, uint32_t moduleHandle, const wchar_t* path) {
    return WithApp(L"AppendDataToRecordingFile", results::kNoApp, [&](CVehicleApp& app) {
        return app.Recorder().AppendDataToRecordingFile(static_cast<int32_t>(moduleHandle), path);
    });
}

uint16_t ZORV_STDCALL ReadDataFromRecordingFile(uint32_t, int32_t moduleHandle, const wchar_t* path) {
    return WithApp(L"ReadDataFromRecordingFile", results::kNoApp,
                   [&](CVehicleApp& app) { return app.Recorder().ReadDataFromRecordingFile(moduleHandle, path); });
}

uint16_t ZORV_STDCALL StartRecording(uint32_t value, uint32_t, uint32_t, uint32_t) {
    return WithApp(L"StartRecording", results::kNoApp,
                   [&](CVehicleApp& app) { return app.Recorder().StartRecording(value); });
}

uint16_t ZORV_STDCALL UnsupportedWithApp(uint32_t, uint32_t* out) {
    return WithApp(L"UnsupportedWithApp", results::kNoApp, [&](CVehicleApp&) {
        WriteZero(out);
        return 0;
    });
}

}  // namespace marl::entries
