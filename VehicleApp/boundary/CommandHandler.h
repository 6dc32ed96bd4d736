// The host's numbered commands (entry 0x10404): capability flags answered from constants,
// the connection text, and commands forwarded to the application object.
#pragma once

#include <cstdint>

namespace marl {

class CVehicleApp;

enum CommandCode : int16_t {
    kCmdCapability1001 = 1001,
    kCmdCapability1002 = 1002,
    kCmdCapability1003 = 1003,
    kCmdCapability1004 = 1004,
    kCmdCapability1005 = 1005,
    kCmdProtocolId = 1006,
    kCmdListFaultGroups = 1007,
    kCmdRegistrationComplete = 1008,
    kCmdFaultInfo = 1009,
    kCmdConnectionText = 1012,
    kCmdCapability1014 = 1014,
    kCmdCapability1015 = 1015,
    kCmdTripData = 1016,
    kCmdCapability1021 = 1021,
    kCmdFaultInfoExtended = 1036,
    kCmdHealthReport = 1038,
    kCmdGetVin = 3000,
    kCmdUnsupported3003 = 3003,
    kCmdCapability3004 = 3004,
};

constexpr uint16_t kResultCommand3003 = 57;
constexpr uint32_t kCapability3004Value = 15;
constexpr int kProtocolIdValue = -1;
constexpr wchar_t kFieldSeparator = L'\u00A7';
constexpr const wchar_t* kConnectionProtocolText = L"J1939:Baud=Auto";
constexpr uint8_t kUnknownModuleAddress = 0xFE;
// Trip data is kept only by the engine at address 0 or 1.
constexpr uint8_t kTripDataMaxAddress = 1;

// `app` is null when no application object exists.
uint16_t HandleVehicleAppCommand(CVehicleApp* app, uint32_t moduleHandle, int16_t code, wchar_t* text,
                                 int16_t* length, uint8_t* data, int16_t* extra, uint32_t* flag);

}  // namespace marl
