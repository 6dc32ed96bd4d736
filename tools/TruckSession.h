// One diagnostic session of the command-line host against the simulated truck: the
// host's side of registering each ECU as a module, watching discovery on the bus, and
// dropping the modules again.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "hostsim/HostSim.h"
#include "tools/DiscoveryTable.h"
#include "tools/PluginLoader.h"

namespace marl::tools {

struct EcuEntry {
    int32_t handle = 0;
    int channel = 1;
    uint8_t address = 0;
    std::string label;
    std::string make;
    bool registered = false;
    uint16_t result = 0;
};

class TruckSession {
public:
    TruckSession(PluginLoader& plugin, FILE* out);

    // Registers through the record entry, showing the discovery traffic while the
    // plug-in works; returns the entry's result.
    uint16_t Register(EcuEntry& ecu);
    void PrintIdentification(const EcuEntry& ecu);
    void PrintDiscoveryTable(const EcuEntry& ecu);
    // What the bus told about each PGN requested from the ECU since its registration began.
    std::vector<PgnRow> DiscoveryRows(const EcuEntry& ecu) const;
    // The NAME the host saw the ECU claim its address with, if it did.
    std::optional<uint64_t> ClaimedName(const EcuEntry& ecu) const;
    void Unregister(EcuEntry& ecu);

private:
    void ShowProgress(const EcuEntry& ecu, bool final);

    PluginLoader& plugin_;
    FILE* out_;
    // What the bus carried since the registration in progress began.
    hostsim::BusRecorder recorder_;
};

// Text for a registration result of the plug-in.
std::string RegistrationResultText(uint16_t result);

}  // namespace marl::tools
