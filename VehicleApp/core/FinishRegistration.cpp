// The module's setup on the bus once its parameter file is loaded: the adapter filters
// the bus for the ECU's address, the tool claims its own address once per channel, the
// host's categories are recognised, and the supported parameter groups are discovered
// (or, for adapters that defer discovery, only the VIN is asked for).
#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/ComponentAddress.h"
#include "VehicleApp/core/HostLookup.h"
#include "VehicleApp/core/J1939Constants.h"
#include "VehicleApp/core/ResultCodes.h"
#include "host/ZorvApi.h"

namespace marl {
namespace {

// The adapter's source-address filter: command 4 with the ECU's address in byte 5.
constexpr int32_t kFilterCommand = 4;
constexpr size_t kFilterSize = 7;
constexpr size_t kFilterAddressIndex = 5;
constexpr int32_t kFilterOption = 0;
constexpr int32_t kFilterWait = 1;

constexpr uint16_t kVinRequestTimeoutMs = 1250;
constexpr uint8_t kVinRequestAttempts = 3;
constexpr uint16_t kValueCapacity = 256;

// With the restricted module type, only these ECUs (and the brakes, at any of their
// addresses) get a list.
constexpr uint8_t kRestrictedDiscoveryAddresses[] = {0x00, 0x01, 0x03, 0x04};

constexpr const char* kSourceFile = "VehicleApp/CVehicleApp";

bool SkipsSupportedPgnList(const ModuleRecord& record) {
    if (record.ModuleType() != j1939::kRestrictedDiscoveryModuleType) return false;
    const uint8_t address = record.EcuAddress();
    const bool listed = std::find(std::begin(kRestrictedDiscoveryAddresses), std::end(kRestrictedDiscoveryAddresses),
                                  address) != std::end(kRestrictedDiscoveryAddresses);
    return !listed && !IsBrakeController(address);
}

}  // namespace

int32_t Registration::BusHandleOf(const ModuleRecord& record) {
    // Modules found by their NAME are registered under their component address; the
    // others (DTNA, JCB, modules of a recording) under none. Every module of a channel
    // shares the channel's connection, which the record carries itself.
    const int32_t registered = app_.Modules().FindSendHandle(record.EcuAddress(), record.Channel());
    return registered != kNoSendHandle ? registered : record.SendHandle();
}

uint16_t Registration::SetFilterForSourceAddress(const ModuleRecord& record) {
    uint8_t filter[kFilterSize] = {static_cast<uint8_t>(kFilterCommand)};
    filter[kFilterAddressIndex] = record.EcuAddress();
    const uint16_t result = Zorv_SendCommand(BusHandleOf(record), kFilterCommand, filter,
                                             static_cast<uint16_t>(kFilterSize), kFilterOption, kFilterWait, nullptr);
    if (result != results::kSuccess) {
        trace_.Write(kTraceFailure, result, L"%s: SetFilterForSourceAddress failed",
                     L"CVehicleApp::SetFilterForSourceAddress (Line 290)");
    }
    return result;
}

uint16_t Registration::SendClaimDiagToolAddress(int32_t sendHandle) {
    auto claim =
        LookUpOrTrace<zorv::ClaimBusAddressFn>(trace_, zorv::kLookupClaimBusAddress, L"%s ClaimBusAddress == NULL",
                                               L"CVehicleApp::SendClaimDiagToolAddress (Line 227)");
    return claim != nullptr ? claim(sendHandle, kToolAddress) : results::kMissingFunctionOrRecord;
}

uint16_t Registration::FinishRegistration(int32_t moduleHandle) {
    return FinishRegistration(moduleHandle, app_.Modules().FindModule(moduleHandle));
}

uint16_t Registration::FinishRegistration(int32_t moduleHandle, const ModuleRecordPtr& record) {
    trace_.Write(kTraceProgress, 0, L"%S - %s :: FinishRegistration ++", kSourceFile,
                 L"CVehicleApp::FinishRegistration (Line 924)");
    if (!record) return results::kInvalidHandle;
    const int address = record->EcuAddress();
    const bool playback = app_.InPlayback();

    Zorv_EnableHashing(moduleHandle);

    if (!playback) {
        uint16_t result = SetFilterForSourceAddress(*record);
        if (result != results::kSuccess) {
            trace_.Write(kTraceProgress, result, L"%s :: SetFilterForSourceAddress Failed for Module - %d",
                         L"CVehicleApp::FinishRegistration (Line 951)", address);
            return result;
        }
        if (app_.Modules().FindByChannel(record.get(), record->Channel()) == nullptr) {
            result = SendClaimDiagToolAddress(record->SendHandle());
            if (result != results::kSuccess) return result;
        }
    }

    app_.Receiver().ClassifyCategories(moduleHandle);

    Zorv_EnableParsing(record->SendHandle(), 1);
    Zorv_AddNotifyModule(moduleHandle);

    if (playback) return Zorv_RemoveNotifyModule(moduleHandle);

    const bool deferred = IsDeferredDiscoveryAdapter();
    if (!deferred && !SkipsSupportedPgnList(*record)) {
        const uint16_t result = app_.Discoveries().BuildAndRequestSupportedPgns(record.get());
        if (result != results::kSuccess) {
            trace_.Write(kTraceProgress, result, L"%s :: BuildSupportedPGNList Failed for Module - %d",
                         L"CVehicleApp::FinishRegistration (Line 988)", address);
            return result;
        }
    }

    if (!app_.Connected()) return results::kNotConnected;

    if (!deferred) {
        record->SetBusy(true);
        app_.Discoveries().BuildVehicleInfoPgnList(*record);
        if (address == 0)
            app_.Discoveries().RequestPgnsForTeskIds(
                moduleHandle, app_.Discoveries().TeskIdsForUdi(moduleHandle, zorv::kUdiEngineIdentification));
        record->SetBusy(false);
    } else {
        const uint16_t result = results::kSuccess;
        trace_.Write(kTraceProgress, 0, L"%S - %s :: FinishRegistration Requesting VIN", kSourceFile,
                     L"CVehicleApp::FinishRegistration (Line 1020)");

        const ZUdi vinUdi = zorv::kUdiVin;
        TESKID vinTeskId = 0;
        uint32_t vinCount = 1;
        if (Zorv_GetTeskIdsFromUdiList(moduleHandle, &vinUdi, 1, &vinTeskId, &vinCount) == results::kSuccess &&
            vinCount != 0 && vinTeskId != 0) {
            Zorv_SetDataPointVisible(moduleHandle, vinTeskId, 1);
            ZPgn vinPgn = 0;
            if (Zorv_GetPIDForTESKID(moduleHandle, vinTeskId, &vinPgn) == results::kSuccess &&
                !record->pgnMap.contains(vinPgn)) {
                app_.Sender().RequestPgn(record->SendHandle(), vinPgn, record->EcuAddress(), false,
                                         kVinRequestTimeoutMs, kVinRequestAttempts);
            }
        }

        // The adapter learns the make from the host, not from the bus: it goes into the
        // make data points that the bus has left empty.
        const std::string make = record->Make();
        if (!make.empty()) {
            for (TESKID teskId : app_.Discoveries().TeskIdsForUdi(moduleHandle, zorv::kUdiMake)) {
                uint8_t value[kValueCapacity] = {};
                uint16_t length = kValueCapacity;
                const bool read = Zorv_GetDPValue(moduleHandle, teskId, value, &length) == results::kSuccess;
                if (!read || (length != 0 && value[0] != 0)) continue;
                Zorv_SetDPValue(moduleHandle, teskId, reinterpret_cast<const uint8_t*>(make.data()),
                                static_cast<uint16_t>(make.size()), 0);
                Zorv_SetDataPointVisible(moduleHandle, teskId, 1);
            }
        }

        app_.Vehicle().RequestDiagnosticPgnsForHandle(moduleHandle);
        trace_.Write(kTraceProgress, result, L"%s :: SetVisibilityForSupportedPgns %s for Module - %d",
                     L"CVehicleApp::FinishRegistration (Line 1032)", L"skipped", address);
        return result;
    }

    Zorv_SetVehicleData(moduleHandle, reinterpret_cast<uintptr_t>(&app_));
    return Zorv_RemoveNotifyModule(moduleHandle);
}

}  // namespace marl
