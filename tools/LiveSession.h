// The running part of a session: the host completes each module's registration,
// subscribes a set of parameters, shows their values as the bus refreshes them, asks for
// each module's health report, and ends the subscriptions.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/PluginLoader.h"
#include "tools/TruckSession.h"

namespace marl::tools {

struct Watched {
    int32_t handle = 0;
    std::string ecu;
    std::string name;   // data-point name, such as "SPN_190"
    uint32_t teskId = 0;
};

class LiveSession {
public:
    LiveSession(PluginLoader& plugin, FILE* out);

    void Complete(const EcuEntry& ecu);
    // Subscribes those of the watch list that the module's parameter file has.
    void Subscribe(const EcuEntry& ecu);
    // Shows the watched values every second for `seconds` seconds.
    void Watch(int seconds);
    void PrintHealthReport(const EcuEntry& ecu);
    void UnsubscribeAll();

private:
    PluginLoader& plugin_;
    FILE* out_;
    std::vector<Watched> watched_;
};

// Parameters worth watching on a truck, by data-point name.
const std::vector<std::string>& WatchList();

}  // namespace marl::tools
