// Clearing a module's faults: DM3 (previously active) and DM11 (active) asked of the ECU,
// twice at most when it does not acknowledge, then of every ECU; the host's J1708
// application asked to clear its own; the host's fault list emptied. The receive path
// holds fault messages back meanwhile, so that the list does not fill again half-way.
#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/HostLookup.h"
#include "VehicleApp/core/J1939Constants.h"
#include "VehicleApp/core/ResultCodes.h"
#include "VehicleApp/core/SharedState.h"
#include "VehicleApp/faults/Faults.h"
#include "VehicleApp/text/WideText.h"
#include "host/ZorvApi.h"
#include "host/ZorvLookup.h"

namespace marl {
namespace {

constexpr int32_t kModuleListCapacity = 50;
constexpr int32_t kModuleIdSelector = 1;
constexpr uint16_t kJ1708TextCapacity = 256;
constexpr uint16_t kJ1708DataCapacity = 256;

// The first handle of the host's module `moduleId`, when the host has that module.
std::optional<ZModuleHandle> FirstHandleOfModule(ZModuleId moduleId) {
    std::array<int32_t, kModuleListCapacity> list{};
    int32_t count = kModuleListCapacity;
    if (Zorv_GetModuleIDs(list.data(), &count, kModuleIdSelector) != kZorvSuccess) return std::nullopt;
    const auto listed = static_cast<size_t>(std::clamp(count, 0, kModuleListCapacity));
    if (std::find(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(listed), moduleId) ==
        list.begin() + static_cast<std::ptrdiff_t>(listed))
        return std::nullopt;
    // The handles come back in the same list, no more of them than it holds.
    count = static_cast<int32_t>(listed);
    if (Zorv_GetModuleHandles(moduleId, &count, list.data()) != kZorvSuccess || count < 1) return std::nullopt;
    return list[0];
}

}  // namespace

uint16_t Faults::ClearFaultCodes(int32_t moduleHandle) {
    if (!app_.Modules().CheckHandle(moduleHandle)) return results::kInvalidHandle;
    if (app_.InPlayback()) return results::kSuccess;
    ModuleRecordPtr module = app_.Modules().FindModule(moduleHandle);
    if (!module) return results::kSuccess;
    // Nothing is sent to an ECU that has reported no faults.
    uint16_t received = 0;
    Zorv_GetRecvdFaultCodeCount(moduleHandle, &received);
    if (received == 0) return results::kSuccess;

    ReceivePath& receiver = app_.Receiver();
    receiver.SetClearingInProgress(true);
    const uint8_t address = module->EcuAddress();
    for (int pass = 0; pass < kClearPassesAtEcu; ++pass) {
        if (SharedState* shared = app_.Shared()) shared->SetWait(false);
        const bool cleared = RequestClearing(module->SendHandle(), address);
        // The acknowledgement raises the wait event; the flow goes on either way.
        if (SharedState* shared = app_.Shared()) shared->WaitEvent().Wait(kClearAcknowledgementWaitMs);
        if (cleared) break;
    }
    RequestClearing(module->SendHandle(), kGlobalAddress);
    SendClearFaultsToJ1708(moduleHandle);
    ClearDataManagerFaultCodeList(moduleHandle);
    receiver.SetClearingInProgress(false);
    return results::kSuccess;
}

bool Faults::RequestClearing(int32_t sendHandle, uint8_t address) {
    const bool global = address == kGlobalAddress;
    struct Step {
        uint32_t pgn;
        const wchar_t* ecuTrace;
        const wchar_t* ecuMethod;
        const wchar_t* globalTrace;
        const wchar_t* globalMethod;
    };
    static const Step kSteps[] = {
        {j1939::kPgnDm3, L"%s::Failed to clear Inactive DTCs for %02X SA", L"CVehicleApp::ClearFaultCodes (Line 1240)",
         L"%s::Failed to clear Inactive DTCs for Global SA", L"CVehicleApp::ClearFaultCodes (Line 1268)"},
        {j1939::kPgnDm11, L"%s::Failed to clear Active DTCs for %02X SA", L"CVehicleApp::ClearFaultCodes (Line 1248)",
         L"%s::Failed to clear Active DTCs for Global SA", L"CVehicleApp::ClearFaultCodes (Line 1275)"},
    };
    bool allAnswered = true;
    for (const Step& step : kSteps) {
        const uint16_t result = app_.Sender().RequestPgn(sendHandle, step.pgn, address, false, kClearRequestTimeoutMs,
                                                         kClearRequestAttempts);
        if (result == results::kSuccess) continue;
        allAnswered = false;
        if (global) {
            trace_.Write(kTraceFailure, result, step.globalTrace, step.globalMethod);
        } else {
            trace_.Write(kTraceFailure, result, step.ecuTrace, step.ecuMethod, static_cast<int>(address));
        }
        app_.Receiver().SetClearingInProgress(false);
    }
    return allAnswered;
}

void Faults::SendClearFaultsToJ1708(int32_t moduleHandle) {
    const std::optional<ZModuleHandle> j1708 = FirstHandleOfModule(zorv::kModuleIdJ1708App);
    if (!j1708) return;
    auto command =
        LookUpHostFunction<zorv::VehicleAppCommandFn>(zorv::kLookupVehicleAppCommand, zorv::kModuleIdJ1708App);
    if (command == nullptr) {
        trace_.Write(kTraceFailure, 0, L"%s pVehicleAppCommand == NULL",
                     L"CVehicleApp::SendClearFaultsToJ1708 (Line 919)");
        return;
    }
    std::array<wchar_t, kJ1708TextCapacity> text{};
    text::CopyToBuffer(text::Decimal(app_.Modules().SourceAddressOf(moduleHandle)), text.data(), text.size());
    std::array<uint8_t, kJ1708DataCapacity> data{};
    int16_t textSize = kJ1708TextCapacity;
    int16_t dataSize = kJ1708DataCapacity;
    uint32_t result = 0;
    command(static_cast<uint32_t>(*j1708), zorv::kJ1708CommandClearFaults, text.data(), &textSize, data.data(),
            &dataSize, &result);
}

uint16_t Faults::ClearDataManagerFaultCodeList(int32_t moduleHandle) {
    auto clear =
        LookUpOrTrace<zorv::ClearFaultListFn>(trace_, zorv::kLookupClearFaultList, L"%s ClearFaultList == NULL",
                                              L"CVehicleApp::ClearDataManagerFaultCodeList (Line 951)");
    if (clear == nullptr) return results::kMissingFunctionOrRecord;
    clear(moduleHandle);
    return results::kSuccess;
}

}  // namespace marl
