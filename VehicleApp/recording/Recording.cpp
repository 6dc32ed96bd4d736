#include "VehicleApp/recording/Recording.h"

namespace marl {

uint16_t Recording::StartRecording(uint32_t value) {
    recordingValue_ = value;
    recording_ = true;
    return 0;
}

// Not built yet: the writer and the reader of the recording sections. Until they are,
// both answer success without touching the file.
uint16_t Recording::AppendDataToRecordingFile(uint32_t, uint32_t, uint16_t*) { return 0; }
uint16_t Recording::ReadDataFromRecordingFile(uint32_t, int32_t, int32_t) { return 0; }

}  // namespace marl
