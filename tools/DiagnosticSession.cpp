#include "tools/DiagnosticSession.h"

#include <chrono>
#include <filesystem>

#include "hostsim/HostSim.h"
#include "hostsim/database/Scenario.h"
#include "tools/DpfTestRun.h"
#include "tools/LiveSession.h"
#include "tools/SessionRecording.h"

namespace marl::tools {
namespace {

using nlohmann::json;

constexpr int kJsonIndent = 2;
constexpr uint8_t kEngineAddress = 0x00;

std::string TemporaryRecordFolder() {
    const auto now = std::chrono::system_clock::now().time_since_epoch().count();
    return (std::filesystem::temp_directory_path() / ("marl-host-session-" + std::to_string(now))).string();
}

json DiscoveryJson(const std::vector<PgnRow>& rows) {
    json list = json::array();
    for (const PgnRow& row : rows) {
        list.push_back({{"pgn", row.pgn}, {"requests", row.requests}, {"outcome", OutcomeText(row.outcome)}});
    }
    return list;
}

// The codes with the fault group that listed each.
json FaultsJson(const std::vector<hostsim::FaultListEntry>& faults) {
    json list = DtcsJson(faults);
    for (size_t i = 0; i < faults.size(); ++i) list[i]["group"] = faults[i].groupName;
    return list;
}

}  // namespace

size_t SessionResult::Registered() const {
    size_t count = 0;
    for (const auto& ecu : ecus) count += ecu.entry.result == 0 ? 1 : 0;
    return count;
}

size_t SessionResult::FaultCount() const {
    size_t count = 0;
    for (const auto& ecu : ecus) count += ecu.faultsFound.size();
    return count;
}

size_t SessionResult::EcusWithFaults() const {
    size_t count = 0;
    for (const auto& ecu : ecus) count += ecu.faultsFound.empty() ? 0 : 1;
    return count;
}

int SessionResult::ExitStatus() const {
    if (!error.empty()) return 1;
    return Registered() == ecus.size() && playbackFailures == 0 ? 0 : 2;
}

SessionResult RunSession(PluginLoader& plugin, const SessionOptions& options, FILE* out) {
    SessionResult result;
    const auto scenario = hostsim::ReadScenarioFile(options.scenarioPath);
    if (!scenario.scenario) {
        result.error = scenario.error;
        return result;
    }
    hostsim::BusWatch busLog;
    if (!options.busLogPath.empty()) {
        result.error = hostsim::WatchBusToCandump(options.busLogPath, busLog);
        if (!result.error.empty()) return result;
    }
    hostsim::AttachPlugin(plugin.Entry<zorv::FnParseMessage>(zorv::kEntryParseMessage));
    result.error = hostsim::LoadScenario(options.scenarioPath);
    if (!result.error.empty()) {
        hostsim::DetachPlugin();
        return result;
    }

    const auto started = std::chrono::steady_clock::now();
    result.truck = scenario.scenario->name;
    result.watchSeconds = options.watchSeconds;
    std::fprintf(out, "\nTruck: %s (%zu ECUs)\n", result.truck.c_str(), scenario.scenario->ecus.size());
    std::vector<EcuEntry> ecus;
    for (const auto& described : scenario.scenario->ecus) {
        EcuEntry ecu;
        ecu.handle = static_cast<int32_t>(ecus.size() + 1);
        ecu.channel = described.channel;
        ecu.address = described.address;
        ecu.label = described.label;
        ecus.push_back(ecu);
    }
    result.ecus.resize(ecus.size());

    TruckSession session(plugin, out);
    for (size_t i = 0; i < ecus.size(); ++i) {
        session.Register(ecus[i]);
        session.PrintIdentification(ecus[i]);
        session.PrintDiscoveryTable(ecus[i]);
        result.ecus[i].discovery = session.DiscoveryRows(ecus[i]);
        if (auto name = session.ClaimedName(ecus[i])) {
            result.ecus[i].facts.claimed = true;
            result.ecus[i].facts.name = *name;
        }
    }

    LiveSession live(plugin, out);
    std::fprintf(out, "\n== Completing the registrations\n");
    for (const auto& ecu : ecus) {
        if (ecu.result == 0) live.Complete(ecu);
    }
    std::fprintf(out, "\n== Subscribing parameters\n");
    for (const auto& ecu : ecus) {
        if (ecu.result == 0) live.Subscribe(ecu);
    }
    // Without a folder of the user's the session is recorded into a temporary one, to
    // show its playback at the end.
    result.recordFolder = options.recordFolder;
    const std::string recordFolder = options.recordFolder.empty() ? TemporaryRecordFolder() : options.recordFolder;
    SessionRecording recording(plugin, out);
    result.error = recording.Start(recordFolder);
    if (!result.error.empty()) {
        for (auto it = ecus.rbegin(); it != ecus.rend(); ++it) session.Unregister(*it);
        hostsim::DetachPlugin();
        hostsim::UnloadScenario();
        return result;
    }
    live.Watch(options.watchSeconds);
    for (const auto& ecu : ecus) {
        if (ecu.result == 0) live.PrintHealthReport(ecu);
    }

    FaultScreen faults(plugin, out);
    std::fprintf(out, "\n== Fault codes\n");
    for (size_t i = 0; i < ecus.size(); ++i) {
        if (ecus[i].result == 0 && faults.List(ecus[i]) > 0) {
            result.ecus[i].faultsFound = hostsim::FaultList(ecus[i].handle).faults;
        }
    }
    for (size_t i = 0; i < ecus.size(); ++i) {
        if (!result.ecus[i].faultsFound.empty()) faults.ShowInformation(ecus[i]);
    }
    if (result.EcusWithFaults() > 0) std::fprintf(out, "\n== Clearing fault codes\n");
    for (size_t i = 0; i < ecus.size(); ++i) {
        if (!result.ecus[i].faultsFound.empty()) result.ecus[i].clearing = faults.Clear(ecus[i]);
    }

    result.dpfTest = options.dpfTest ? "no engine at 0x00" : "left out";
    for (const auto& ecu : ecus) {
        if (!options.dpfTest || ecu.result != 0 || ecu.address != kEngineAddress) continue;
        result.dpfTest = RunDpfTest(plugin, ecu, options.interactive, out) ? "ran and ended" : "FAILED";
    }
    recording.Finish(ecus);

    // What the host learned of each ECU, before the modules go.
    for (size_t i = 0; i < ecus.size(); ++i) {
        EcuReport& facts = result.ecus[i].facts;
        facts.address = ecus[i].address;
        if (ecus[i].result == 0) GatherModuleFacts(ecus[i].handle, {}, facts);
    }

    std::fprintf(out, "\n== Ending the session\n");
    live.UnsubscribeAll();
    for (auto it = ecus.rbegin(); it != ecus.rend(); ++it) session.Unregister(*it);
    hostsim::DetachPlugin();
    hostsim::UnloadScenario();
    if (!options.busLogPath.empty()) {
        busLog.Stop();
        std::fprintf(out, "   bus log written to %s\n", options.busLogPath.c_str());
    }

    hostsim::AttachPlugin(plugin.Entry<zorv::FnParseMessage>(zorv::kEntryParseMessage));
    result.playbackFailures = PlayBackRecording(plugin, recordFolder, out);
    hostsim::DetachPlugin();
    if (options.recordFolder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(recordFolder, ignored);
    }
    for (size_t i = 0; i < ecus.size(); ++i) result.ecus[i].entry = ecus[i];
    result.seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - started).count();
    return result;
}

void PrintSessionSummary(const SessionResult& result, FILE* out) {
    const size_t withFaults = result.EcusWithFaults();
    std::fprintf(out, "\n== Summary\n");
    std::fprintf(out, "   ECUs registered         %zu of %zu\n", result.Registered(), result.ecus.size());
    std::fprintf(out, "   live values             %d s\n", result.watchSeconds);
    std::fprintf(out, "   fault codes             %zu on %zu ECU%s%s\n", result.FaultCount(), withFaults,
                 withFaults == 1 ? "" : "s", withFaults == 0 ? "" : ", cleared");
    std::fprintf(out, "   DPF regeneration test   %s\n", result.dpfTest.c_str());
    std::fprintf(out, "   recording               %s, played back %s\n",
                 result.recordFolder.empty() ? "temporary" : result.recordFolder.c_str(),
                 result.playbackFailures == 0 ? "with every module restored" : "with FAILURES");
    std::fprintf(out, "   session time            %lld s\n", result.seconds);
}

std::string SessionReportJson(const SessionResult& result) {
    json ecus = json::array();
    for (const SessionEcu& ecu : result.ecus) {
        json report = EcuReportJson(ecu.facts);
        report["label"] = ecu.entry.label;
        report["channel"] = ecu.entry.channel;
        report["registration"] = {{"result", ecu.entry.result}, {"text", RegistrationResultText(ecu.entry.result)}};
        report["discovery"] = DiscoveryJson(ecu.discovery);
        report["faultsFound"] = FaultsJson(ecu.faultsFound);
        report["clearing"] = ecu.clearing ? json{{"result", ecu.clearing->result},
                                                 {"acknowledged", ecu.clearing->acknowledged},
                                                 {"milliseconds", ecu.clearing->ms}}
                                          : json(nullptr);
        ecus.push_back(std::move(report));
    }
    const json document = {
        {"truck", result.truck},
        {"ecus", ecus},
        {"liveSeconds", result.watchSeconds},
        {"dpfTest", result.dpfTest},
        {"recording",
         {{"folder", result.recordFolder.empty() ? json(nullptr) : json(result.recordFolder)},
          {"playedBack", result.playbackFailures == 0},
          {"playbackFailures", result.playbackFailures}}},
        {"summary",
         {{"registered", result.Registered()},
          {"ecus", result.ecus.size()},
          {"faultCodes", result.FaultCount()},
          {"ecusWithFaults", result.EcusWithFaults()},
          {"seconds", result.seconds}}}};
    return document.dump(kJsonIndent, ' ', false, json::error_handler_t::replace);
}

}  // namespace marl::tools
