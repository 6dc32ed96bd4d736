// A capture of a real truck's bus fed into the plug-in through the stand-in host: every
// ECU that sent becomes a module in playback, the plug-in builds its record from a
// minimal recording file, every message reaches its source's module with its captured
// time, and what the plug-in and the host learned is gathered per ECU.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "hostsim/HostSimTypes.h"
#include "tools/EcuReport.h"
#include "tools/PluginLoader.h"

namespace marl::tools {

struct ReplayOptions {
    std::string log;
    std::string interfaceName;  // empty: the interface of the capture's first 29-bit frame
    double speed = 0.0;         // times the captured pace; 0: as fast as possible
    std::string valuesCsv;      // empty: no file of decoded values
};

struct ReplayResult {
    std::string error;  // non-empty: nothing was replayed
    hostsim::CaptureSummary capture;
    size_t delivered = 0;
    double seconds = 0.0;
    std::vector<EcuReport> ecus;
};

// Shows progress on `progress` when the replay lasts longer than a second.
ReplayResult ReplayCapture(PluginLoader& plugin, const ReplayOptions& options, FILE* progress);

}  // namespace marl::tools
