// The control API of HostSim.h for the bus: the plug-in's receive entry, connections,
// the simulated network, bus logs, replays and the host's configuration file.
#include "hostsim/Host.h"
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

std::string StartBusLog(const std::string& path) { return TheHost().busLog.Start(path); }
void StopBusLog() { TheHost().busLog.Stop(); }
void StartTrafficCapture() {
    TheHost().traffic.Clear();
    TheHost().traffic.Start();
}
void StopTrafficCapture() { TheHost().traffic.Stop(); }
std::vector<TrafficRecord> Traffic() { return TheHost().traffic.Records(); }
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
