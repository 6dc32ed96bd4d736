// The host's fault screen in the command-line host: each ECU's faults with their lamps,
// the fault-information window and freeze frame of each, and the clearing of the faults
// with what the ECU answered and what its next DM1 says.
#pragma once

#include <cstdio>

#include "hostsim/HostSimTypes.h"
#include "tools/PluginLoader.h"
#include "tools/TruckSession.h"

namespace marl::tools {

// A DM lamp as the fault screen shows it: "off", "on", "flashing" or "n/a".
const char* LampText(const hostsim::LampStatus& lamp);

class FaultScreen {
public:
    FaultScreen(PluginLoader& plugin, FILE* out);

    // Lists the module's faults; returns how many it has.
    size_t List(const EcuEntry& ecu);
    // Opens the information window of each fault, with its freeze frame.
    void ShowInformation(const EcuEntry& ecu);
    // Clears the faults through the plug-in and lists them again after the ECU's next DM1.
    struct Clearing {
        uint16_t result = 0;        // the clearing entry's result
        bool acknowledged = false;  // the ECU acknowledged the DM3 and the DM11
        long long ms = 0;
    };
    Clearing Clear(const EcuEntry& ecu);

private:
    PluginLoader& plugin_;
    FILE* out_;
};

}  // namespace marl::tools
