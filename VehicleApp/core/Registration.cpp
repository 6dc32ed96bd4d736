// Registration of one module: one ECU at one source address on one channel. The host
// calls it on its own thread; the module is connected to the bus, gets its parameter
// file and is set up on the bus by FinishRegistration.
#include <algorithm>
#include <iterator>
#include <memory>
#include <new>
#include <string>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/boundary/CommandHandler.h"
#include "VehicleApp/core/BusyScope.h"
#include "VehicleApp/core/HostLookup.h"
#include "VehicleApp/core/ResultCodes.h"
#include "VehicleApp/text/WideText.h"
#include "host/ZorvApi.h"

namespace marl {
namespace {

constexpr const wchar_t* kDeviceProtocol = L"J1939";
constexpr const wchar_t* kChannelField = L",Channel=";
constexpr uint16_t kDeviceIdCleared = 0;
constexpr uint8_t kByteMask = 0xFF;
constexpr ZModuleId kUnknownModuleId = 0;
constexpr int16_t kProductIdUnset = -1;

// The make as the host wrote it, never read past its field.
std::string MakeOf(const ModuleInfo& info) {
    size_t n = 0;
    while (n < sizeof(info.make) && info.make[n] != '\0') ++n;
    return std::string(info.make, n);
}

}  // namespace

Registration::Registration(CVehicleApp& app) : app_(app), trace_(app.Trace()) {}

uint16_t Registration::GetDeviceId() {
    auto getDeviceId = LookUpOrTrace<zorv::GetDeviceIdFn>(trace_, zorv::kLookupGetDeviceId, L"%s GetDeviceID == NULL",
                                                          L"CVehicleApp::GetDeviceId (Line 1484)");
    if (getDeviceId == nullptr) return results::kMissingFunctionOrRecord;
    uint16_t id = kDeviceIdCleared;
    deviceId_ = id;
    const uint16_t result = getDeviceId(kDeviceProtocol, &id);
    deviceId_ = id;
    if (result != results::kSuccess) {
        trace_.Write(kTraceFailure, result, L"%s", L"CVehicleApp::GetDeviceId (Line 1510)");
    }
    return result;
}

uint16_t Registration::OverrideZorvRp1210Implementation(int32_t moduleHandle) {
    auto overrideImpl = LookUpOrTrace<zorv::OverrideRp1210ImplFn>(
        trace_, zorv::kLookupOverrideRp1210Impl, L"%s OverrideRp1210Impl is NULL",
        L"CVehicleApp::OverrideZorvRp1210Implementation (Line 1471)");
    return overrideImpl != nullptr ? overrideImpl(moduleHandle) : results::kConnectOrFileFailure;
}

uint16_t Registration::ConnectToBus(int32_t moduleHandle, int16_t channel, bool firstOnChannel) {
    const std::wstring connectText =
        std::wstring(kConnectionProtocolText) + kChannelField + text::Decimal(channel & kByteMask);
    const uint16_t result =
        Zorv_Connect(moduleHandle, connectText.c_str(), deviceId_.load(), nullptr, firstOnChannel ? 1 : 0);
    if (result != results::kSuccess) {
        trace_.Write(kTraceFailure, result, L"%s", L"CVehicleApp::ConnectToBus (Line 1555)");
    }
    return result;
}

uint16_t Registration::RegisterModule(uint32_t uiHandle, int32_t moduleHandle, const ModuleInfo& info) {
    const auto ecuAddress = static_cast<uint8_t>(info.ecuAddress & kByteMask);
    const int address = ecuAddress;
    const int channel = info.channel;

    trace_.LookUpAndOpen(ecuAddress);
    trace_.Write(kTraceProgress, 0, L"%s :: Ecu Address - %d (0x%02X) Received Make:%S",
                 L"CVehicleApp::RegisterModule (Line 1208)", address, address, MakeOf(info).c_str());

    const bool firstOnChannel = app_.Modules().FindByChannel(nullptr, info.channel) == nullptr;

    ZModuleId moduleId = kUnknownModuleId;
    const auto idResult = static_cast<uint16_t>(Zorv_GetModuleIDFromHandle(moduleHandle, &moduleId));
    if (moduleId != zorv::kModuleIdMarlJ1939) {
        trace_.Write(kTraceFailure, idResult, L"Incorrect Module ID - will fail this DLL connection");
        return results::kWrongModuleId;
    }
    trace_.Write(kTraceFailure, idResult, L"Correct Module ID");

    if (!app_.Modules().CheckHandle(moduleHandle)) return results::kInvalidHandle;

    moduleId = kUnknownModuleId;
    auto hostResult = static_cast<uint16_t>(Zorv_GetModuleIDFromHandle(moduleHandle, &moduleId));
    if (hostResult == results::kSuccess) {
        uint32_t status = app_.InPlayback() ? 1 : 0;
        hostResult = static_cast<uint16_t>(Zorv_GetModulePlaybackStatus(moduleId, &status));
        app_.SetPlaybackStatus(status);
    }
    if (hostResult != results::kSuccess) return hostResult;
    const bool playback = app_.InPlayback();

    if (firstOnChannel) {
        IdentifyAdapter();
        app_.Receiver().PromptShowOnlySupported(uiHandle);
    }

    hostResult = GetDeviceId();
    if (hostResult != results::kSuccess) {
        trace_.Write(kTraceProgress, hostResult, L"%s :: Failed to get the Device Id for Module - %d, Channel - %d",
                     L"CVehicleApp::RegisterModule (Line 1240)", address, channel);
        return hostResult;
    }

    // A recording is played back without a module record of registration's own: the
    // recording reader builds the record from the file, and a record made here at the
    // same address would make it discard that one. The steps below still need the
    // module's information and connection, so they work on a record outside the list.
    ModuleRecordPtr record;
    if (!playback) {
        record = app_.Modules().AddModuleRecord(moduleHandle, info, firstOnChannel);
    } else {
        record = std::shared_ptr<ModuleRecord>(new (std::nothrow) ModuleRecord(moduleHandle, info));
        if (record && record->Valid()) {
            ModuleRecordPtr first = app_.Modules().FindByChannel(nullptr, info.channel);
            record->SetSendHandle(first ? first->SendHandle() : moduleHandle);
        } else {
            record.reset();
        }
    }
    if (!record) return results::kMissingFunctionOrRecord;

    bool connectedNow = OverrideZorvRp1210Implementation(moduleHandle) == results::kSuccess;
    if (connectedNow) connectedNow = ConnectToBus(moduleHandle, info.channel, firstOnChannel) == results::kSuccess;
    if (!connectedNow) {
        trace_.Write(kTraceProgress, results::kConnectOrFileFailure,
                     L"%s :: Failed to Connect to the bus for Module - %d, Channel - %d",
                     L"CVehicleApp::RegisterModule (Line 1254)", address, channel);
        record->MarkRegistrationFailed();
        return results::kConnectOrFileFailure;
    }

    app_.SetConnected(true);
    // The module stays busy while registration works on the bus, however it ends, so
    // that subscriptions and unregistration wait for it.
    BusyScope busy(*record, !playback);
    Zorv_EnableParsing(BusHandleOf(*record), 0);

    if (GetJ1939NameAndLoadBinFile(*record) != results::kSuccess) {
        record->MarkRegistrationFailed();
        trace_.Write(kTraceProgress, results::kConnectOrFileFailure,
                     L"%s :: Failed to load the Bin file for Module - %d, Channel - %d",
                     L"CVehicleApp::RegisterModule (Line 1273)", address, channel);
        return results::kConnectOrFileFailure;
    }

    const uint16_t result = FinishRegistration(moduleHandle, record);
    if (result != results::kSuccess) {
        trace_.Write(kTraceProgress, result, L"%s :: FinishRegistration Failed for Module - %d, Channel - %d",
                     L"CVehicleApp::RegisterModule (Line 1282)", address, channel);
        record->MarkRegistrationFailed();
    }

    busy.Release();
    trace_.Write(kTraceProgress, result, L"---End of RegisterModule for Module %d (ModHandle - %d) ---", address,
                 static_cast<int>(moduleHandle));
    return result;
}

int32_t Registration::GetProductId() {
    auto getProductId = LookUpOrTrace<zorv::GetDeviceProductIdFn>(trace_, zorv::kLookupGetDeviceProductId,
                                                                  L"%s GetDeviceProductId  == NULL",
                                                                  L"CVehicleApp::GetProductId (Line 815)");
    if (getProductId == nullptr) return 0;
    int16_t id = kProductIdUnset;
    getProductId(&id);
    return id;
}

bool Registration::IsDeferredDiscoveryAdapter() const {
    const auto id = static_cast<uint16_t>(productId_.load());
    return std::find(std::begin(j1939::kDeferredDiscoveryProductIds), std::end(j1939::kDeferredDiscoveryProductIds),
                     id) != std::end(j1939::kDeferredDiscoveryProductIds);
}

}  // namespace marl
