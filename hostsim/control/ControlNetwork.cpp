// The control API of HostSim.h for the bus: the plug-in's receive entry, connections,
// the simulated network, watchers of the bus, replays and the host's configuration file.
#include <fstream>
#include <memory>

#include "hostsim/Host.h"
#include "hostsim/bus/CandumpLog.h"
#include "hostsim/HostSim.h"
#include "hostsim/bus/J1939Name.h"
#include "hostsim/database/Scenario.h"

namespace hostsim {

void AttachPlugin(zorv::FnParseMessage parse) { TheHost().receiver.Attach(parse); }
void DetachPlugin() { TheHost().receiver.Detach(); }
void DeliverMessage(int channel, const std::vector<uint8_t>& message) {
    auto parsed = FromHostLayout(message.data(), message.size());
    if (parsed) TheHost().Receive(channel, *parsed);
}
bool WaitForBus(uint32_t timeoutMs) {
    Host& host = TheHost();
    return host.network.WaitQuiet(timeoutMs) && host.receiver.WaitIdle(timeoutMs);
}
ConnectionState Connection(ZModuleHandle handle) { return TheHost().connections.State(handle); }

namespace {

std::string Run(const ScenarioResult& read) {
    if (!read.scenario) return read.error;
    Host& host = TheHost();
    host.network.Load(*read.scenario);
    // The ECUs claimed their addresses at power-up; the host's adapter saw it.
    for (const EcuDescription& ecu : read.scenario->ecus) {
        host.bus.SetName(ecu.address, DecodedNameOf(EncodeName(ecu.name), ecu.address));
    }
    host.bus.SetNetworkRunning(true);
    return {};
}

constexpr const char* kDefaultTruck = "/trucks/default-truck.json";

}  // namespace

std::string LoadScenario(const std::string& path) { return Run(ReadScenarioFile(path)); }
std::string LoadScenarioText(const std::string& json) { return Run(ParseScenarioText(json, "scenario text")); }
std::string LoadDefaultScenario() { return LoadScenario(TheHost().dataFolder.Get() + kDefaultTruck); }
void UnloadScenario() {
    TheHost().network.Unload();
    TheHost().bus.SetNetworkRunning(false);
}

namespace {

std::mutex gCaptureMutex;
std::unique_ptr<BusRecorder> gCapture;

}  // namespace

void StartTrafficCapture() {
    std::lock_guard<std::mutex> lock(gCaptureMutex);
    gCapture = std::make_unique<BusRecorder>();
}
void StopTrafficCapture() {
    std::lock_guard<std::mutex> lock(gCaptureMutex);
    if (gCapture) gCapture->Stop();
}
std::vector<TrafficRecord> Traffic() {
    std::lock_guard<std::mutex> lock(gCaptureMutex);
    return gCapture ? gCapture->Messages() : std::vector<TrafficRecord>{};
}
void ForgetTrafficCapture() {
    std::lock_guard<std::mutex> lock(gCaptureMutex);
    gCapture.reset();
}

uint32_t AddBusWatcher(BusWatcher watcher) { return TheHost().watchers.Add(std::move(watcher)); }
void RemoveBusWatcher(uint32_t id) { TheHost().watchers.Remove(id); }

std::string WatchBusToCandump(const std::string& path, BusWatch& watch) {
    watch.Stop();
    // Every line is flushed, so that the log is complete as soon as the watch stops.
    auto file = std::make_shared<std::ofstream>(path, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!*file) return "cannot create the bus log " + path;
    watch = WatchBus({nullptr, [file](const BusFrame& frame) {
                          *file << FormatCandumpLine({frame.timeMicros, InterfaceOfChannel(frame.channel),
                                                      true, CanFrame{frame.canId, frame.data}})
                                << '\n' << std::flush;
                      }});
    return {};
}

std::string ReplayBusLog(const std::string& path, int channel, double speed) {
    return TheHost().replay.Start(path, channel, speed);
}
bool WaitForReplay(uint32_t timeoutMs) { return TheHost().replay.Wait(timeoutMs); }
void StopReplay() { TheHost().replay.Stop(); }
ReplayStats LastReplay() { return TheHost().replay.Stats(); }

std::string SetAppConfigFile(const std::string& path) { return TheHost().appConfig.UseFile(path); }
std::string SetAppConfigText(const std::string& contents) { return TheHost().appConfig.UseText(contents); }
void ClearAppConfigFile() { TheHost().appConfig.Clear(); }

}  // namespace hostsim
