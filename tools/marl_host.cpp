// The command-line host: loads the plug-in the way the host platform does and runs a
// diagnostic session against a simulated truck.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "hostsim/HostSim.h"
#include "hostsim/database/Scenario.h"
#include "tools/CaptureReplay.h"
#include "tools/DpfTestRun.h"
#include "tools/FaultScreen.h"
#include "tools/LiveSession.h"
#include "tools/PluginLoader.h"
#include "tools/ReplayReport.h"
#include "tools/SessionRecording.h"
#include "tools/TruckSession.h"

namespace {

void PrintDescriptor(const marl::tools::PluginLoader& plugin) {
    const zorv::PluginDescriptor* d = plugin.Descriptor();
    std::printf("Plug-in descriptor at %p\n", static_cast<const void*>(d));
    std::printf("  interface number       0x%08X\n", static_cast<unsigned>(d->interfaceVersion));
    std::printf("  dispatch table         %p\n", static_cast<const void*>(d->table));
    std::printf("  second interface no.   0x%08X\n", static_cast<unsigned>(d->secondInterfaceVersion));
    std::printf("  field 12               %u\n", static_cast<unsigned>(d->reserved12));
    std::printf("  field 16               %u\n", static_cast<unsigned>(d->reserved16));
    std::printf("  field 20               %u\n", static_cast<unsigned>(d->field20));
}

void PrintEntries(const marl::tools::PluginLoader& plugin) {
    const auto rows = plugin.Entries();
    std::printf("\nEntry table (%zu entries)\n", rows.size());
    std::printf("   #  id       decimal  entry\n");
    int n = 0;
    for (const auto& row : rows) {
        std::printf("  %2d  0x%05X  %-7u  %s\n", ++n, static_cast<unsigned>(row.id), static_cast<unsigned>(row.id),
                    marl::tools::EntryName(row.id));
    }
}

std::string DefaultScenarioPath() { return hostsim::DataFolderPath() + "/trucks/default-truck.json"; }

// Feeds a capture into the plug-in and reports; 0 when the capture was replayed.
int RunReplay(marl::tools::PluginLoader& plugin, const marl::tools::ReplayOptions& options, bool asJson) {
    hostsim::AttachPlugin(plugin.Entry<zorv::FnParseMessage>(zorv::kEntryParseMessage));
    const marl::tools::ReplayResult result = marl::tools::ReplayCapture(plugin, options, stderr);
    hostsim::DetachPlugin();
    if (!result.error.empty()) {
        std::fprintf(stderr, "marl-host: %s\n", result.error.c_str());
        return 1;
    }
    // A file with no frame of any kind is not a capture.
    if (result.capture.frames == 0 && result.capture.skipped == 0) {
        std::fprintf(stderr, "marl-host: %s holds no CAN frame (%zu unreadable lines%s%s)\n", options.log.c_str(),
                     result.capture.malformed,
                     result.capture.firstProblem.empty() ? "" : "; first: ", result.capture.firstProblem.c_str());
        return 1;
    }
    if (asJson) {
        std::printf("%s\n", marl::tools::ReplayReportJson(options, result).c_str());
    } else {
        marl::tools::PrintReplayReport(options, result, stdout);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "Marl J1939 command-line host: loads the plug-in as the host platform does and runs a "
        "diagnostic session against a simulated truck"};
    std::string pluginPath = marl::tools::DefaultPluginPath();
    std::string scenarioPath;
    std::string busLogPath;
    std::string dataFolder;
    std::string appConfigPath;
    std::string recordFolder;
    std::string playbackFolder;
    bool infoOnly = false;
    bool skipDpfTest = false;
    bool interactive = false;
    int watchSeconds = 5;
    app.add_option("--plugin", pluginPath, "path of the plug-in library")->capture_default_str();
    app.add_option("--scenario", scenarioPath, "truck scenario file (JSON) in place of the built-in default truck")
        ->check(CLI::ExistingFile);
    app.add_option("--bus-log", busLogPath, "write every frame on the bus to this candump log");
    app.add_option("--data", dataFolder, "folder of the parameter databases")->check(CLI::ExistingDirectory);
    app.add_option("--app-config", appConfigPath, "the host's AppConfig.ini to use")->check(CLI::ExistingFile);
    app.add_flag("--info", infoOnly, "show the plug-in's descriptor and entry table, and stop");
    app.add_option("--record", recordFolder, "record the session into this folder (one file per ECU)");
    app.add_option("--playback", playbackFolder, "play a recorded session back, with no truck, instead of a session")
        ->check(CLI::ExistingDirectory);
    app.add_flag("--no-dpf-test", skipDpfTest, "leave out the guided DPF regeneration test");
    app.add_flag("--interactive", interactive, "answer the guided test's screens at the console");
    app.add_option("--watch", watchSeconds, "seconds of live values to show")
        ->check(CLI::Range(0, 3600))
        ->capture_default_str();
    app.add_subcommand("session", "run the diagnostic session against the simulated truck (the default)");
    CLI::App* replay = app.add_subcommand(
        "replay", "feed a candump capture of a real truck into the plug-in and report what was learned per ECU");
    marl::tools::ReplayOptions replayOptions;
    bool replayJson = false;
    replay->add_option("LOG", replayOptions.log, "the capture: candump -l log or candump -ta console output")
        ->required();
    replay->add_option("--interface", replayOptions.interfaceName,
                       "the interface to replay (default: that of the first 29-bit frame)");
    replay->add_option("--speed", replayOptions.speed, "times the captured pace (0: as fast as possible)")
        ->check(CLI::NonNegativeNumber);
    replay->add_flag("--json", replayJson, "the report as one JSON document");
    replay->add_option("--values-csv", replayOptions.valuesCsv, "write every decoded value with its capture time");
    app.require_subcommand(0, 1);
    // A wrong option is one line, like every other error of the program.
    app.failure_message([](const CLI::App*, const CLI::Error& error) {
        return std::string("marl-host: ") + error.what() + " (marl-host --help lists the options)\n";
    });
    CLI11_PARSE(app, argc, argv);

    marl::tools::PluginLoader plugin;
    if (!plugin.Load(pluginPath)) {
        std::fprintf(stderr, "marl-host: %s\n", plugin.Error().c_str());
        return 1;
    }
    if (!dataFolder.empty()) hostsim::SetDataFolder(dataFolder);
    if (replay->parsed()) return RunReplay(plugin, replayOptions, replayJson);
    std::printf("Loaded %s\n\n", pluginPath.c_str());
    PrintDescriptor(plugin);
    PrintEntries(plugin);
    if (infoOnly) return 0;

    if (!playbackFolder.empty()) {
        hostsim::AttachPlugin(plugin.Entry<zorv::FnParseMessage>(zorv::kEntryParseMessage));
        const int failed = marl::tools::PlayBackRecording(plugin, playbackFolder, stdout);
        hostsim::DetachPlugin();
        return failed == 0 ? 0 : 2;
    }
    if (scenarioPath.empty()) scenarioPath = DefaultScenarioPath();
    const auto scenario = hostsim::ReadScenarioFile(scenarioPath);
    if (!scenario.scenario) {
        std::fprintf(stderr, "marl-host: %s\n", scenario.error.c_str());
        return 1;
    }
    if (!appConfigPath.empty()) {
        const std::string error = hostsim::SetAppConfigFile(appConfigPath);
        if (!error.empty()) {
            std::fprintf(stderr, "marl-host: %s\n", error.c_str());
            return 1;
        }
    }
    hostsim::BusWatch busLog;
    if (!busLogPath.empty()) {
        const std::string error = hostsim::WatchBusToCandump(busLogPath, busLog);
        if (!error.empty()) {
            std::fprintf(stderr, "marl-host: %s\n", error.c_str());
            return 1;
        }
    }
    hostsim::AttachPlugin(plugin.Entry<zorv::FnParseMessage>(zorv::kEntryParseMessage));
    const std::string error = hostsim::LoadScenario(scenarioPath);
    if (!error.empty()) {
        std::fprintf(stderr, "marl-host: %s\n", error.c_str());
        return 1;
    }

    const auto started = std::chrono::steady_clock::now();
    std::printf("\nTruck: %s (%zu ECUs)\n", scenario.scenario->name.c_str(), scenario.scenario->ecus.size());
    std::vector<marl::tools::EcuEntry> ecus;
    int32_t handle = 0;
    for (const auto& described : scenario.scenario->ecus) {
        marl::tools::EcuEntry ecu;
        ecu.handle = ++handle;
        ecu.channel = described.channel;
        ecu.address = described.address;
        ecu.label = described.label;
        ecus.push_back(ecu);
    }

    marl::tools::TruckSession session(plugin, stdout);
    int failures = 0;
    for (auto& ecu : ecus) {
        if (session.Register(ecu) != 0) ++failures;
        session.PrintIdentification(ecu);
        session.PrintDiscoveryTable(ecu);
    }

    marl::tools::LiveSession live(plugin, stdout);
    std::printf("\n== Completing the registrations\n");
    for (const auto& ecu : ecus) {
        if (ecu.result == 0) live.Complete(ecu);
    }
    std::printf("\n== Subscribing parameters\n");
    for (const auto& ecu : ecus) {
        if (ecu.result == 0) live.Subscribe(ecu);
    }
    // Without a folder of the user's the session is recorded into a temporary one, to
    // show its playback at the end.
    const bool temporaryRecording = recordFolder.empty();
    if (temporaryRecording) {
        recordFolder =
            (std::filesystem::temp_directory_path() /
             ("marl-host-session-" + std::to_string(std::chrono::system_clock::now().time_since_epoch().count())))
                .string();
    }
    marl::tools::SessionRecording recording(plugin, stdout);
    {
        const std::string problem = recording.Start(recordFolder);
        if (!problem.empty()) {
            std::fprintf(stderr, "marl-host: %s\n", problem.c_str());
            return 1;
        }
    }
    live.Watch(watchSeconds);
    for (const auto& ecu : ecus) {
        if (ecu.result == 0) live.PrintHealthReport(ecu);
    }

    marl::tools::FaultScreen faults(plugin, stdout);
    std::printf("\n== Fault codes\n");
    std::vector<const marl::tools::EcuEntry*> withFaults;
    size_t faultCount = 0;
    for (const auto& ecu : ecus) {
        const size_t listed = ecu.result == 0 ? faults.List(ecu) : 0;
        faultCount += listed;
        if (listed > 0) withFaults.push_back(&ecu);
    }
    for (const auto* ecu : withFaults) faults.ShowInformation(*ecu);
    if (!withFaults.empty()) std::printf("\n== Clearing fault codes\n");
    for (const auto* ecu : withFaults) faults.Clear(*ecu);

    std::string dpfResult = skipDpfTest ? "left out" : "no engine at 0x00";
    if (!skipDpfTest) {
        for (const auto& ecu : ecus) {
            if (ecu.result != 0 || ecu.address != 0x00) continue;
            dpfResult = marl::tools::RunDpfTest(plugin, ecu, interactive, stdout) ? "ran and ended" : "FAILED";
        }
    }
    recording.Finish(ecus);

    std::printf("\n== Ending the session\n");
    live.UnsubscribeAll();
    for (auto it = ecus.rbegin(); it != ecus.rend(); ++it) session.Unregister(*it);
    hostsim::DetachPlugin();
    hostsim::UnloadScenario();
    if (!busLogPath.empty()) {
        busLog.Stop();
        std::printf("   bus log written to %s\n", busLogPath.c_str());
    }

    hostsim::AttachPlugin(plugin.Entry<zorv::FnParseMessage>(zorv::kEntryParseMessage));
    const int playbackFailures = marl::tools::PlayBackRecording(plugin, recordFolder, stdout);
    hostsim::DetachPlugin();
    if (temporaryRecording) {
        std::error_code ignored;
        std::filesystem::remove_all(recordFolder, ignored);
    }

    size_t registered = 0;
    for (const auto& ecu : ecus) registered += ecu.result == 0 ? 1 : 0;
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - started).count();
    std::printf("\n== Summary\n");
    std::printf("   ECUs registered         %zu of %zu\n", registered, ecus.size());
    std::printf("   live values             %d s\n", watchSeconds);
    std::printf("   fault codes             %zu on %zu ECU%s%s\n", faultCount, withFaults.size(),
                withFaults.size() == 1 ? "" : "s", withFaults.empty() ? "" : ", cleared");
    std::printf("   DPF regeneration test   %s\n", dpfResult.c_str());
    std::printf("   recording               %s, played back %s\n",
                temporaryRecording ? "temporary" : recordFolder.c_str(),
                playbackFailures == 0 ? "with every module restored" : "with FAILURES");
    std::printf("   session time            %lld s\n", static_cast<long long>(seconds));
    return failures == 0 && playbackFailures == 0 ? 0 : 2;
}
