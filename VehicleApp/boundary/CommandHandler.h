// The host's numbered commands (entry 0x10404): capability flags answered from constants,
// the connection text, and commands forwarded to the application object.
#pragma once

#include <cstdint>

#include "VehicleApp/text/WideText.h"
#include "host/ZorvPlugin.h"

namespace marl {

class CVehicleApp;

constexpr uint16_t kResultCommand3003 = 57;
constexpr uint32_t kCapability3004Value = 15;
constexpr int kProtocolIdValue = -1;
constexpr const wchar_t* kConnectionProtocolText = L"J1939:Baud=Auto";
// Trip data is kept only by the engine at address 0 or 1.
constexpr uint8_t kTripDataMaxAddress = 1;

// `app` is null when no application object exists.
uint16_t HandleVehicleAppCommand(CVehicleApp* app, uint32_t moduleHandle, int16_t code, wchar_t* text, int16_t* length,
                                 uint8_t* data, int16_t* extra, uint32_t* flag);

}  // namespace marl
