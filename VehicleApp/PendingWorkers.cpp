// PLACEHOLDERS. Workers whose subsystems are not built yet. Each one answers what the
// finished worker answers by default, so that the entries, the object lifecycle and the
// command-line host work end to end meanwhile. Every function in this file is replaced
// by its subsystem's real worker and then removed from here.
#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/SharedState.h"
#include "host/ZorvApi.h"

namespace marl {

// PLACEHOLDER (guided tests): the test ends at once.
void CVehicleApp::GuidedTestLoop(GuidedTestContext /*context*/) {}

// PLACEHOLDER (fault clearing).
uint16_t CVehicleApp::ClearFaultCodes(int32_t /*moduleHandle*/) { return 0; }

// PLACEHOLDER (recording writer).
uint16_t CVehicleApp::AppendDataToRecordingFile(uint32_t, uint32_t, uint16_t*) { return 0; }

// PLACEHOLDER (recording reader).
uint16_t CVehicleApp::ReadDataFromRecordingFile(uint32_t, int32_t, int32_t) { return 0; }

// PLACEHOLDER (fault lists).
void CVehicleApp::ListFaultGroupIds(int32_t, wchar_t*, int16_t*) {}

// PLACEHOLDER (fault information).
uint16_t CVehicleApp::HandleFaultInfoRequest(int32_t, int16_t, wchar_t*, int16_t*, uint8_t*, int16_t*, uint32_t*) {
    return 0;
}

}  // namespace marl
