// Recording a session of the command-line host, and playing one back with no truck: a
// recording is a folder holding one recording file per ECU (the host's section with the
// messages, then the plug-in's sections).
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "tools/PluginLoader.h"
#include "tools/TruckSession.h"

namespace marl::tools {

class SessionRecording {
public:
    SessionRecording(PluginLoader& plugin, FILE* out);

    // Creates the folder and starts recording; the error, or empty.
    std::string Start(const std::string& folder);
    // Writes each registered ECU's file and has the plug-in append its sections.
    void Finish(const std::vector<EcuEntry>& ecus);

private:
    PluginLoader& plugin_;
    FILE* out_;
    std::string folder_;
    uint32_t recording_ = 0;
};

// What the plug-in answered when a module was registered for playback.
struct PlaybackRegistration {
    uint16_t registered = 0;  // the registration entry's result
    uint16_t restored = 0;    // the recording reader's result
};

// Registers a module as the host does while it plays a recording back, has the plug-in
// restore the module from its recording file, and completes the registration, after
// which the module takes the played-back messages.
PlaybackRegistration RegisterForPlayback(PluginLoader& plugin, int32_t handle, uint8_t address, int channel,
                                         const std::string& recordingPath);

// Plays back every recording file of the folder as the host does without a bus, and shows
// what each module got back; the number of modules that failed.
int PlayBackRecording(PluginLoader& plugin, const std::string& folder, FILE* out);

}  // namespace marl::tools
