#include "hostsim/Host.h"

#include <utility>

#include "hostsim/bus/J1939Parser.h"

namespace hostsim {
namespace {
// Messages a replay may be ahead of the plug-in: about half a second of a busy bus, so that an
// unpaced replay keeps the receive thread at full rate without queueing the whole log.
constexpr size_t kReplayLead = 1024;
}  // namespace

Host::Host()
    : network(watchers, [this](int channel, const J1939Message& message) { Receive(channel, message); }),
      replay(
          watchers, [this](int channel, const J1939Message& message) { Receive(channel, message); },
          [this](uint32_t timeoutMs) { return receiver.WaitForRoom(kReplayLead, timeoutMs); }) {}

FaultDatabase& Host::FaultCodes() {
    faults.UseFolder(dataFolder);
    return faults;
}

std::shared_ptr<ParameterDatabase> Host::DatabaseFor(ZModuleHandle handle) { return moduleDatabases.For(handle); }

void Host::Reset() {
    // Threads first, so that nothing is carried to the plug-in while the rest is cleared.
    replay.Stop();
    network.Unload();
    receiver.Detach();
    receiver.Stop();
    watchers.RemoveAll();
    sent.Clear();
    watchers.Add(sent.Watcher());
    decodedValues.Set(nullptr);
    log.Clear();
    results.Reset();
    hostile.Set(0);
    lookup.Reset();
    modules.Reset();
    clock.UseReal();
    bus.Reset();
    binFiles.Reset();
    database.Reset();
    moduleDatabases.Reset();
    dataFolder.Reset();
    faults.Reset();
    receivedFaults.Reset();
    freezeFrames.Reset();
    faultWindows.Clear();
    uiScreens.Clear();
    j1708.Reset();
    recorder.Reset();
    ui.Reset();
    traces.Reset();
    connections.Reset();
    appConfig.Clear();
}

void Host::Receive(int channel, const J1939Message& message) {
    NoteAddressClaim(bus, message);
    watchers.Message(RecordOf(clock.Now(), channel, message));
    receiver.Post(channel, message);
}

Host& TheHost() {
    // Never destroyed: plug-in threads may still call the host while the process exits.
    static Host* host = [] {
        auto* created = new Host;
        created->Reset();
        return created;
    }();
    return *host;
}

int32_t Enter(const char* function, std::vector<std::string> args) {
    Host& host = TheHost();
    host.log.Record(Call{function, std::move(args)});
    return host.results.Take(function);
}

}  // namespace hostsim
