#include "VehicleApp/CVehicleApp.h"

namespace marl {

// The host starts a recording: the value is kept for the recording sections and the flag
// tells the receive path to record raw messages until the write ends.
uint16_t CVehicleApp::StartRecording(uint32_t value) {
    recordingValue = value;
    recording = true;
    return 0;
}

}  // namespace marl
