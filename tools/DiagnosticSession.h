// The whole diagnostic session of the command-line host against a simulated truck:
// registration with discovery, live values, health reports, fault codes with their
// information windows and clearing, the guided DPF test, a recording and its playback
// with no truck, and a summary; as text for a person, or as one JSON document.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "tools/DiscoveryTable.h"
#include "tools/EcuReport.h"
#include "tools/FaultScreen.h"
#include "tools/PluginLoader.h"
#include "tools/TruckSession.h"

namespace marl::tools {

struct SessionOptions {
    std::string scenarioPath;   // the truck's scenario file
    std::string busLogPath;     // empty: no bus log
    std::string recordFolder;   // empty: a temporary folder, removed after its playback
    int watchSeconds = 5;
    bool dpfTest = true;
    bool interactive = false;   // the guided test's screens answered at the console
};

// What the session learned of one ECU.
struct SessionEcu {
    EcuEntry entry;
    std::vector<PgnRow> discovery;
    std::vector<hostsim::FaultListEntry> faultsFound;   // before clearing
    std::optional<FaultScreen::Clearing> clearing;      // absent: nothing to clear
    EcuReport facts;                                     // at the end of the session
};

struct SessionResult {
    std::string error;  // non-empty: the session could not start
    std::string truck;
    std::vector<SessionEcu> ecus;
    int watchSeconds = 0;
    std::string dpfTest;          // the test's outcome
    std::string recordFolder;     // empty: the recording was temporary
    int playbackFailures = 0;
    long long seconds = 0;

    size_t Registered() const;
    size_t FaultCount() const;
    size_t EcusWithFaults() const;
    // 0 when every ECU registered and every recorded module played back.
    int ExitStatus() const;
};

// Runs the session on the scenario already loaded into the stand-in host, showing each
// step on `out`.
SessionResult RunSession(PluginLoader& plugin, const SessionOptions& options, FILE* out);

void PrintSessionSummary(const SessionResult& result, FILE* out);
std::string SessionReportJson(const SessionResult& result);

}  // namespace marl::tools
