// The plug-in's sections of the host's recording files: written while a recording runs,
// read back when the host plays one.
#pragma once

#include <atomic>
#include <cstdint>

namespace marl {

class Recording {
public:
    Recording() = default;
    Recording(const Recording&) = delete;
    Recording& operator=(const Recording&) = delete;

    // The host starts a recording: the value is kept for the recording sections.
    uint16_t StartRecording(uint32_t value);
    uint16_t AppendDataToRecordingFile(uint32_t a, uint32_t b, uint16_t* data);
    uint16_t ReadDataFromRecordingFile(uint32_t a, int32_t b, int32_t c);
    bool IsRecording() const { return recording_.load(); }
    uint32_t RecordingValue() const { return recordingValue_.load(); }

private:
    std::atomic<bool> recording_{false};
    std::atomic<uint32_t> recordingValue_{0};
};

}  // namespace marl
