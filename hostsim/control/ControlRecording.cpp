// Control API of recordings: the host's recorder, its recording files and playback.
#include "hostsim/Host.h"
#include "hostsim/HostSim.h"
#include "hostsim/bus/J1939Message.h"
#include "hostsim/database/RecordingFile.h"

namespace hostsim {
namespace {
constexpr uint32_t kPlaybackRunning = 1;
constexpr uint32_t kPlaybackDeliveryWaitMs = 60000;
}  // namespace

uint32_t BeginRecording() { return TheHost().recorder.Begin(); }

std::string WriteRecording(uint32_t recording, ZModuleHandle handle, const std::string& path, const std::string& label,
                           uint8_t address, int channel) {
    Host& host = TheHost();
    ModuleRecording written;
    written.label = label;
    written.address = address;
    written.channel = channel;
    written.hasName = host.bus.Name(address, written.name);
    written.messages = host.recorder.MessagesOf(recording, handle);
    return WriteHostRecording(path, written);
}

void EndRecording(uint32_t recording) { TheHost().recorder.End(recording); }

std::string ReadRecording(const std::string& path, ModuleRecording& recording) {
    return ReadHostRecording(path, recording);
}

void PreparePlayback(const ModuleRecording& recording) {
    Host& host = TheHost();
    host.modules.SetPlaybackStatus(kPlaybackRunning);
    if (recording.hasName) host.bus.SetName(recording.address, recording.name);
}

size_t PlayBack(const ModuleRecording& recording, ZModuleHandle handle) {
    Host& host = TheHost();
    size_t played = 0;
    for (const RecordedMessage& recorded : recording.messages) {
        auto message = FromHostLayout(recorded.bytes.data(), recorded.bytes.size());
        if (!message) continue;
        host.receiver.PostTo(handle, *message, recorded.timeStamp);
        ++played;
    }
    host.receiver.WaitIdle(kPlaybackDeliveryWaitMs);
    return played;
}

}  // namespace hostsim
