// The host's recorder: the messages the plug-in hands to Zorv_RecordMessage while a
// recording runs, kept per module until the host writes each module's recording file.
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
    // A new recording; its value is what the host gives the plug-in's StartRecording
    // entry and what the plug-in records under.
    uint32_t Begin();
    // Messages of a recording that is not running are refused (false).
    bool Add(uint32_t recording, ZModuleHandle handle, const uint8_t* message, uint16_t length, uint32_t timeStamp);
    // The messages recorded for one module so far.
    std::vector<RecordedMessage> MessagesOf(uint32_t recording, ZModuleHandle handle);
    void End(uint32_t recording);
    void Reset();

private:
    std::mutex mutex_;
    std::map<uint32_t, std::map<ZModuleHandle, std::vector<RecordedMessage>>> running_;
    uint32_t next_ = 1;
};

}  // namespace hostsim
