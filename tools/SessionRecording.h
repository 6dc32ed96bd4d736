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

// Plays back every recording file of the folder as the host does without a bus, and shows
// what each module got back; the number of modules that failed.
int PlayBackRecording(PluginLoader& plugin, const std::string& folder, FILE* out);

}  // namespace marl::tools
