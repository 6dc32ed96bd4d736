// The host's recorder: the messages the plug-in hands to Zorv_RecordMessage, kept per
// running recording until the host ends it and writes the module's recording file.
// The plug-in records on its receive thread while the host's thread begins and ends
// recordings, so every call is locked.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

#include "host/ZorvTypes.h"
#include "hostsim/HostSimTypes.h"

namespace hostsim {

class Recorder {
public:
    // A new recording of the module; its value is what the host gives the plug-in's
    // StartRecording entry and what the plug-in records under.
    uint32_t Begin(ZModuleHandle handle);
    // Messages of unknown recordings or of another module are refused (false).
    bool Add(uint32_t recording, ZModuleHandle handle, const uint8_t* message, uint16_t length, uint32_t timeStamp);
    // The recording's messages; it is forgotten.
    std::vector<RecordedMessage> End(uint32_t recording);
    void Reset();

private:
    struct Running {
        ZModuleHandle handle = 0;
        std::vector<RecordedMessage> messages;
    };
    std::mutex mutex_;
    std::map<uint32_t, Running> running_;
    uint32_t next_ = 1;
};

}  // namespace hostsim
