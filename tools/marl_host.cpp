// The command-line host: loads the plug-in the way the host platform does and runs a
// diagnostic session against a simulated truck.
#include <cstdio>
#include <string>

#include <CLI/CLI.hpp>

#include "hostsim/HostSim.h"
#include "tools/CaptureReplay.h"
#include "tools/DiagnosticSession.h"
#include "tools/PluginLoader.h"
#include "tools/ReplayReport.h"
#include "tools/SessionRecording.h"

namespace {

void PrintDescriptor(const marl::tools::PluginLoader& plugin, FILE* out) {
    const zorv::PluginDescriptor* d = plugin.Descriptor();
    std::fprintf(out, "Plug-in descriptor at %p\n", static_cast<const void*>(d));
    std::fprintf(out, "  interface number       0x%08X\n", static_cast<unsigned>(d->interfaceVersion));
    std::fprintf(out, "  dispatch table         %p\n", static_cast<const void*>(d->table));
    std::fprintf(out, "  second interface no.   0x%08X\n", static_cast<unsigned>(d->secondInterfaceVersion));
    std::fprintf(out, "  field 12               %u\n", static_cast<unsigned>(d->reserved12));
    std::fprintf(out, "  field 16               %u\n", static_cast<unsigned>(d->reserved16));
    std::fprintf(out, "  field 20               %u\n", static_cast<unsigned>(d->field20));
}

void PrintEntries(const marl::tools::PluginLoader& plugin, FILE* out) {
    const auto rows = plugin.Entries();
    std::fprintf(out, "\nEntry table (%zu entries)\n", rows.size());
    std::fprintf(out, "   #  id       decimal  entry\n");
    int n = 0;
    for (const auto& row : rows) {
        std::fprintf(out, "  %2d  0x%05X  %-7u  %s\n", ++n, static_cast<unsigned>(row.id), static_cast<unsigned>(row.id),
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
    marl::tools::SessionOptions sessionOptions;
    std::string dataFolder;
    std::string appConfigPath;
    std::string playbackFolder;
    bool infoOnly = false;
    bool skipDpfTest = false;
    bool json = false;
    app.add_option("--plugin", pluginPath, "path of the plug-in library")->capture_default_str();
    app.add_option("--scenario", sessionOptions.scenarioPath, "truck scenario file (JSON) in place of the built-in default truck")
        ->check(CLI::ExistingFile);
    app.add_option("--bus-log", sessionOptions.busLogPath, "write every frame on the bus to this candump log");
    app.add_option("--data", dataFolder, "folder of the parameter databases")->check(CLI::ExistingDirectory);
    app.add_option("--app-config", appConfigPath, "the host's AppConfig.ini to use")->check(CLI::ExistingFile);
    app.add_flag("--info", infoOnly, "show the plug-in's descriptor and entry table, and stop");
    app.add_option("--record", sessionOptions.recordFolder, "record the session into this folder (one file per ECU)");
    app.add_option("--playback", playbackFolder, "play a recorded session back, with no truck, instead of a session")
        ->check(CLI::ExistingDirectory);
    app.add_flag("--no-dpf-test", skipDpfTest, "leave out the guided DPF regeneration test");
    app.add_flag("--interactive", sessionOptions.interactive, "answer the guided test's screens at the console");
    app.add_option("--watch", sessionOptions.watchSeconds, "seconds of live values to show")
        ->check(CLI::Range(0, 3600))
        ->capture_default_str();
    app.add_flag("--json", json,
                 "print what the session (or replay) learned as one JSON document on standard output; the "
                 "session's progress goes to standard error");
    app.add_subcommand("session", "run the diagnostic session against the simulated truck (the default)")
        ->fallthrough();
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
    sessionOptions.dpfTest = !skipDpfTest;

    marl::tools::PluginLoader plugin;
    if (!plugin.Load(pluginPath)) {
        std::fprintf(stderr, "marl-host: %s\n", plugin.Error().c_str());
        return 1;
    }
    if (!dataFolder.empty()) hostsim::SetDataFolder(dataFolder);
    if (replay->parsed()) return RunReplay(plugin, replayOptions, replayJson || json);
    // With --json the document alone goes to standard output; what a person follows of
    // the session goes to standard error.
    FILE* out = json ? stderr : stdout;
    std::fprintf(out, "Loaded %s\n\n", pluginPath.c_str());
    PrintDescriptor(plugin, out);
    PrintEntries(plugin, out);
    if (infoOnly) return 0;

    if (!playbackFolder.empty()) {
        hostsim::AttachPlugin(plugin.Entry<zorv::FnParseMessage>(zorv::kEntryParseMessage));
        const int failed = marl::tools::PlayBackRecording(plugin, playbackFolder, out);
        hostsim::DetachPlugin();
        return failed == 0 ? 0 : 2;
    }
    if (!appConfigPath.empty()) {
        const std::string error = hostsim::SetAppConfigFile(appConfigPath);
        if (!error.empty()) {
            std::fprintf(stderr, "marl-host: %s\n", error.c_str());
            return 1;
        }
    }
    if (sessionOptions.scenarioPath.empty()) sessionOptions.scenarioPath = DefaultScenarioPath();
    const marl::tools::SessionResult result = marl::tools::RunSession(plugin, sessionOptions, out);
    if (!result.error.empty()) {
        std::fprintf(stderr, "marl-host: %s\n", result.error.c_str());
        return result.ExitStatus();
    }
    marl::tools::PrintSessionSummary(result, out);
    if (json) std::printf("%s\n", marl::tools::SessionReportJson(result).c_str());
    return result.ExitStatus();
}
