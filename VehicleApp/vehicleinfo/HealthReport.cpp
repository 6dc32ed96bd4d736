// The vehicle health report. The host writes the report from the data points of two
// categories; the plug-in's share is to have fresh bus data behind them when the host
// asks, and to tell the report which ECU it is about.
#include <algorithm>
#include <iterator>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/HostLookup.h"
#include "VehicleApp/core/J1939Constants.h"
#include "VehicleApp/core/ResultCodes.h"
#include "VehicleApp/core/SharedState.h"
#include "VehicleApp/receive/Categories.h"
#include "host/ZorvApi.h"

namespace marl {
namespace {

constexpr uint16_t kResultEmptyReport = 46;
constexpr uint16_t kResultExitAfterCategories = 60;
constexpr uint16_t kResultNoGenerator = 93;
constexpr uint16_t kResultExitBeforeGenerator = 94;

// Answers to the category requests come as multi-packet messages and need parsing.
constexpr uint32_t kCategorySettleMs = 2000;

constexpr const char* kReportAddressDataPoint = "HEALTH_REPORTS_VEHICLE_INFO_SA";
constexpr uint16_t kReportAddressLength = 1;
constexpr int32_t kSetValueFlags = 0;

// With the restricted module type, only the engines, the transmissions and the brakes
// (at their further addresses) hold the report's category data.
constexpr uint8_t kRestrictedReportAddresses[] = {0x00, 0x01, 0x03, 0x04, 0x0C, 0x0D, 0x0E, 0xBA, 0xC2, 0xCA};

bool SkipsCategoryRequests(const ModuleRecord& module) {
    if (module.ModuleType() != j1939::kRestrictedDiscoveryModuleType) return false;
    return std::find(std::begin(kRestrictedReportAddresses), std::end(kRestrictedReportAddresses),
                     module.EcuAddress()) == std::end(kRestrictedReportAddresses);
}

}  // namespace

VehicleInfo::VehicleInfo(CVehicleApp& app) : app_(app), trace_(app.Trace()) {}

uint16_t VehicleInfo::CallGenerateHealthReport(int32_t moduleHandle, wchar_t* text, int16_t* length) {
    trace_.Write(kTraceProgress, 0, L"%s: Start on ModuleHandle: %d.",
                 L"CVehicleApp::CallGenerateHealthReport (Line 1567)", moduleHandle);
    // The record is held while the module finishes discovery and answers the requests;
    // the module lock is not, since the receive thread needs it to deliver the answers.
    if (ModuleRecordPtr module = app_.Modules().FindModule(moduleHandle)) {
        if (module->BusyCount() >= 1) module->WaitIdle(kDiscoveryWaitMs);
        if (!module->DiagnosticsRequested()) RequestDiagnosticPgns(*module);
    }
    trace_.Write(kTraceProgress, 0, L"%s: Calling GenerateVehicleHealthReport on ModuleHandle: %d.",
                 L"CVehicleApp::CallGenerateHealthReport (Line 1583)", moduleHandle);
    return GenerateVehicleHealthReport(moduleHandle, text, length);
}

uint16_t VehicleInfo::GenerateVehicleHealthReport(int32_t moduleHandle, wchar_t* text, int16_t* length) {
    ModuleRecordPtr module = app_.Modules().FindModule(moduleHandle);
    if (!module) return results::kReportNoModule;

    TESKID addressTeskId = 0;
    if (Zorv_GetDPIDbyName(moduleHandle, kReportAddressDataPoint, &addressTeskId) == kZorvSuccess) {
        const uint8_t address = app_.Modules().SourceAddressOf(moduleHandle);
        Zorv_SetDPValue(moduleHandle, addressTeskId, &address, kReportAddressLength, kSetValueFlags);
        Zorv_SetDataPointVisible(moduleHandle, addressTeskId, 1);
    }

    if (!SkipsCategoryRequests(*module)) {
        app_.Discoveries().RequestCategoryPgns(moduleHandle, app_.Receiver().CategoryId(kCategoryHealthReportData));
        app_.Discoveries().RequestCategoryPgns(moduleHandle,
                                               app_.Receiver().CategoryId(kCategoryHealthReportVehicleInfo));
        if (PauseStops(app_.Shared(), kCategorySettleMs)) {
            trace_.Write(kTraceProgress, 0, L"%s: Must be Exiting.",
                         L"CVehicleApp::GenerateVehicleHealthReport (Line 1690)");
            return kResultExitAfterCategories;
        }
    }
    if (PauseStops(app_.Shared(), kExitCheckMs)) {
        trace_.Write(kTraceProgress, 0, L"%s: Must be Exiting.",
                     L"CVehicleApp::GenerateVehicleHealthReport (Line 1697)");
        return kResultExitBeforeGenerator;
    }

    auto generate = LookUpOrTrace<zorv::GenerateHealthReportFn>(
        trace_, zorv::kLookupGenerateHealthReport, L"%s GenerateHealthReport == NULL",
        L"CVehicleApp::GenerateVehicleHealthReport (Line 1705)");
    if (generate == nullptr) return kResultNoGenerator;
    const int16_t capacity = length != nullptr ? *length : 0;
    const auto generated = generate(moduleHandle, app_.Modules().SourceAddressOf(moduleHandle), text, length);
    // A generator that failed wrote no report, whatever its length says.
    if (generated != kZorvSuccess) return static_cast<uint16_t>(generated);
    // Without a length the host cannot say it wrote anything.
    if (length == nullptr || *length == 0) return kResultEmptyReport;
    // The generator is trusted no further than the caller's buffer: the length stays
    // inside it and the text ends there.
    *length = std::clamp<int16_t>(*length, 0, static_cast<int16_t>(std::max<int16_t>(capacity, 1) - 1));
    if (text != nullptr && capacity > 0) text[*length] = L'\0';
    return *length != 0 ? results::kSuccess : kResultEmptyReport;
}

}  // namespace marl
